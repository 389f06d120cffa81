#pragma once

#include <QString>

// The five sample log lines that the log boxes show until the console logs for real: each a
// sequence number, a date and time to the millisecond and a sentence, ended by a line break.
namespace SampleLog
{

QString text();

} // namespace SampleLog
