#include "platform/clock.h"

#include <cstdio>
#include <ctime>

std::string LocalTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", local.tm_year % 100,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}
