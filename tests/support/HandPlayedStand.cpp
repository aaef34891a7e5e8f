#include "HandPlayedStand.h"

#include <QPushButton>
#include <QTest>

#include "core/ProgramState.h"
#include "ui/MainForm.h"

TMForm& OpenWithHandPlayedStand(TWindowFixture& fixture, std::optional<TPtyPeer>& stand)
{
    fixture.WriteFile("settings.ini", "[General]\r\nGVTimeout=60000\r\n");
    stand.emplace(fixture.Dir(), 1);
    TMForm& form = fixture.Open();
    form.bConnect->click();
    stand->ReadUntil("!!!;#", 2000);
    stand->Write("!REP;Tarvik;ATE-12;2.14;2026-11-03;PSU-TS1;#");
    // The frames the test then reads tell whether the stand was identified.
    if (!QTest::qWaitFor([] { return StandIdentified; }, 2000))
        qWarning("the stand did not identify itself");
    stand->ReadFor(50);
    return form;
}
