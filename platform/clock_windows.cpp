#include "platform/clock.h"

#include <windows.h>

#include <cstdio>

std::string LocalDateTime() {
  SYSTEMTIME local;
  ::GetLocalTime(&local);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.wYear,
                local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
  return text;
}

std::string LocalTimeStamp() { return LocalDateTime().substr(2); }
