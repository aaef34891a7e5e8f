#pragma once
// A stand played by hand on a pseudo-terminal, already connected and identified, for tests that
// read the exact frames the program sends. The poll interval is long, so no poll shows up among
// the frames a test reads.
//
//   std::optional<TPtyPeer> Stand;
//   TMForm& form = OpenWithHandPlayedStand(*Fixture, Stand);

#include <optional>

#include "PtyPeer.h"
#include "WindowFixture.h"

TMForm& OpenWithHandPlayedStand(TWindowFixture& fixture, std::optional<TPtyPeer>& stand);
