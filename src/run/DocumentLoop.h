#pragma once
// The document loop: one worksheet row per selected document, values from
// the document's property sets or its database record, length limits and
// quotes, format checks with yellow marks, workbook parts of maxRange
// documents, progress and the user's cancel after each document.
#include <QString>
#include <QStringList>

#include "common/WorkerPool.h"
#include "run/ColumnMapping.h"
#include "run/RunState.h"

namespace tbx {

// Processes run.foundDocuments in order until all are done or the progress
// view reports the cancel flag after a document (run.cancelled is then set).
// A failing spreadsheet or file-system call throws RunError.
// The pool's helpers read the documents ahead of the loop.
void ProcessDocuments(RunState& run, const ColumnMapping& mapping, WorkerPool& pool);

// i × 100 / n rounded to the nearest whole number, halves to the even one.
int ProgressPercent(qint64 i, qint64 n);

}  // namespace tbx
