// The local date and time, for the change-log record header.
#pragma once

#include <string>

// The local time now as "yy-mm-dd hh:mm:ss".
std::string LocalTimeStamp();
