#pragma once
// A run-time error: a failing spreadsheet, file-system or database call that
// ends the run through the driver's one error path. The numbers follow the
// classic numbering users know from earlier versions where one fits; every
// number the program gives is in this one table.
#include <QString>
#include <exception>

namespace tbx {

enum RunErrorNumber : int {
  kErrOutOfMemory = 7,
  kErrInternal = 51,  // a failure no other number fits
  kErrFileNotFound = 53,
  kErrDiskFull = 61,
  kErrPermissionDenied = 70,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
  kErrWorkbook = 1004,
  kErrDatabase = 3704,  // the number ADO gives a failing operation on a connection
};

class RunError : public std::exception {
 public:
  RunError(int number, QString description)
      : number_(number), description_(std::move(description)), what_(description_.toUtf8()) {}
  int number() const { return number_; }
  const QString& description() const { return description_; }
  const char* what() const noexcept override { return what_.constData(); }

 private:
  int number_;
  QString description_;
  QByteArray what_;
};

}  // namespace tbx
