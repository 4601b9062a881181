// The atlas page as it is built into the program (from atlas/ when the
// program is built): the page up to the place of the run's data, and the rest.
#pragma once

#include <string_view>

std::string_view AtlasPageHead();
std::string_view AtlasPageTail();
