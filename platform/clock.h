// The local date and time, for the change-log record header and the history.
#pragma once

#include <string>

// The local time now as "yy-mm-dd hh:mm:ss".
std::string LocalTimeStamp();

// The local time now as "YYYY-MM-DD hh:mm:ss".
std::string LocalDateTime();
