// Loading a configuration file for show, encode and hex.
#pragma once

#include <cstdint>
#include <string>

class Configurator;

// Loads the file as the dialog's "Load" does (decoded as generation 4). For another model the
// image is then decoded once more as that generation reads it: the model is set, bytesReceived
// stays 128, and the switches that generation does not carry keep what the first decoding gave.
// true when the file loaded; the status message tells what happened.
bool loadConfigFile(Configurator& configurator, const std::string& path, std::int32_t model);
