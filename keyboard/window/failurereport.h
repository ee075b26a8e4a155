#pragma once

#include "failure.h"

#include <QString>

class QWidget;

namespace hiragana {

// The text of the report: the failure's number and its text.
QString FailureMessage(const Failure &failure);

// Shows the failure in the standard critical message box and returns when the user closes it.
void ReportFailure(const Failure &failure, QWidget *parent = nullptr);

// Reports the failure, then ends the program with a non-zero status: the event loop stops and
// no further handler runs.
void EndWithFailure(const Failure &failure, QWidget *parent = nullptr);

// The failure behind the exception being handled; call it only inside a catch block.
// Exceptions other than hiragana::Failure are given a run-time error number of their own.
Failure CurrentFailure();

// Runs an event handler. A failure that no handler catches is reported and ends the program;
// nothing is let through Qt's event loop.
template <typename Handler>
void RunHandler(QWidget *window, Handler &&handler)
{
    try {
        handler();
    } catch (...) {
        EndWithFailure(CurrentFailure(), window);
    }
}

} // namespace hiragana
