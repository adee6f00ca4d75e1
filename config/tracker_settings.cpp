#include "config/tracker_settings.h"

Configurator::Configurator(SerialPort& port, const Prompts& prompts) : port_(port), prompts_(prompts) {}
