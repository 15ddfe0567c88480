// Log sink window refresh on hosts without Win32: there is no window to show the text in.
#include "foundation/log.h"

void LogSinkRefreshWindow(LogSink *sink) {}
