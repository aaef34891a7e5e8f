#pragma once
// The efficiency and fan run: the stand sweeps the total load in steps and reports, per step,
// the power factor, the efficiency, a temperature and the two fan speeds. Live polling goes on.

struct TParsedCommand;

// "Start PFC": sends "!FAMC;...;#". The power fields go as typed (an empty one as an empty
// field); an empty "PSU type:" is refused with "Incorrect values!", as the other tests refuse
// their empty fields. The verdict marks stay as they are.
void bStartPFCClick();

// "FAMS": the run has started.
void EfficiencyStarted();
// "FAM": one step, its fields stored in order until the first that does not convert.
void StoreEfficiencyPoint(const TParsedCommand& p);
// "FAE": the run has ended; both efficiency graphs are painted if their page is on show.
void EfficiencyEnded();
