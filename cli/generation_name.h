// How messages name a firmware generation: "generation 2 (Kavrel v1.2)".
#pragma once

#include <cstdint>
#include <string>

std::string generationName(std::int32_t model);
