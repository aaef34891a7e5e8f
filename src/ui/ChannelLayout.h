#pragma once
// The channel table the two channel pages are built from: the front-panel panel of each
// channel (its name, title, place and colour) and its title on the manual-loading page.

struct TChannelLayout {
    const char* PanelName;
    const char* FrontTitle;
    int Left;
    int Top;
    int Red, Green, Blue;
    const char* LoadingTitle;  // nullptr for CH12, which cannot be loaded
};

// Indexed by channel number - 1.
inline constexpr TChannelLayout ChannelLayout[12] = {
    {"AdvPanel1", "CH1 +3.3V", 303, 0, 243, 192, 193, "+3.3V"},
    {"FP2", "CH2 +5V", 454, 0, 243, 192, 231, "+5V"},
    {"FP3", "CH3 +5V Standby", 152, 0, 180, 180, 180, "+5Vstb"},
    {"FP4", "CH4 +12V1", 606, 0, 225, 192, 243, "+12V1"},
    {"FP5", "CH5 +12V2", 758, 0, 197, 192, 243, "+12V2"},
    {"FP6", "CH6 +12V3", 0, 152, 243, 222, 192, "+12V3"},
    {"FP7", "CH7 +12V4", 152, 152, 243, 239, 192, "+12V4"},
    {"FP8", "CH8 +12V5", 303, 152, 219, 243, 192, "+12V5"},
    {"FP9", "CH9 +12V6", 454, 152, 193, 242, 197, "+12V6"},
    {"FP10", "CH10 +12V7", 606, 152, 192, 243, 229, "+12V7"},
    {"FP11", "CH11 +12V8", 758, 152, 192, 220, 243, "+12V8"},
    {"FP12", "CH12 -12V", 0, 0, 255, 255, 255, nullptr},
};
