#pragma once
// The chief header of check/: tabellix-batch --check, what a run would do
// with a configuration that its writer did not mean, found without writing
// a workbook or a log.
//
// Public operations:
//   CheckConfiguration   every finding for a configuration, in line order
//   FindingLine          a finding as "FILE:N: Warnung: ..."
//   CheckExitStatus      0 without findings, 1 warnings, 2 errors
//   SampleDocuments, CheckDatabase   what the first documents and the database answer
#include "check/ConfigCheck.h"
#include "check/ConfigSample.h"
