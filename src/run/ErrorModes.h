#pragma once
// The run's two error modes. Handled mode is the default: a RunError (or any
// other exception) thrown anywhere reaches the driver, which ends the run
// through its one run-time error path. From the maxRange conversion until
// the spreadsheet application has been searched for, the run is in ignored
// mode instead: each statement that may fail is wrapped in IgnoringErrors,
// so a failure skips just that statement and leaves its target unchanged.
namespace tbx {

// Runs statement; a failure of any kind is swallowed. True when it succeeded.
template <class Statement>
bool IgnoringErrors(Statement&& statement) noexcept {
  try {
    statement();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace tbx
