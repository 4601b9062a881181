// Shared by the side-input tests: console capture and change-log reading.
#pragma once

#include <string>

#include "platform/console.h"
#include "platform/file.h"

// Captures console text for the lifetime of the object.
class ConsoleCapture {
 public:
  ConsoleCapture() { ConsoleCaptureTo(&text_); }
  ~ConsoleCapture() { ConsoleCaptureTo(nullptr); }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The console's form of a long file name: its last 30 characters.
inline std::string Last30(const std::string& name) { return name.substr(name.size() - 30); }
