#include "platform/clock.h"

#include <windows.h>

#include <cstdio>

std::string LocalTimeStamp() {
  SYSTEMTIME local;
  ::GetLocalTime(&local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", local.wYear % 100,
                local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
  return text;
}
