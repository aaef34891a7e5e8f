#pragma once
// The windows are drawn in "Tahoma". Wine's metric-compatible copy is not known to fontconfig,
// so the program registers it with Qt itself at start-up.

// Registers /usr/share/wine/fonts/tahoma.ttf and tahomabd.ttf with the application's font
// database. A missing or unreadable file is skipped without a word (Qt then substitutes its
// nearest sans-serif font); a file already registered is not registered again.
void RegisterTahoma();
