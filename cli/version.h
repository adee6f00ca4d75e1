// The version kavrelcfg --version prints.
#pragma once

constexpr char kVersion[] = "0.9.0";
