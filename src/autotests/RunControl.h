#pragma once
// What the four stand-run tests share: the check of their start fields, the state their
// Start/Stop buttons show, and the conversions of the fields of their point frames.

#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

#include "link/CommandSet.h"

class QPushButton;

// True when every listed auto-testing field (1..7 as ATEdit1..ATEdit7, examined in the order
// given) holds text. Otherwise shows "Incorrect values!" and answers false.
bool StartFieldsFilled(const TAutoTestTexts& texts, std::initializer_list<int> fields);

// Start enabled and Stop disabled while idle; the other way round while the stand runs it.
void ShowRunState(QPushButton* start, QPushButton* stop, bool running);

// The steps a sweep asked for in "Steps:" (at most the 200 that are kept), or nothing when
// the field is not a whole number.
std::optional<int> ExpectedSteps(const TAutoTestTexts& texts);

// A field as a whole number cut to 16 bits, and as a single-precision real.
uint16_t FieldWord(const QString& field);
float FieldSingle(const QString& field);

// Runs the storing of one point frame: what converts is stored, the first field that does
// not convert ends the frame without a word.
void StoreUntilBadField(const std::function<void()>& store);
