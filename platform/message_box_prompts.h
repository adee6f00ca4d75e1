// Prompts for the dialog program: message boxes without owner window, pauses with Sleep.
#pragma once

#include "platform/prompts.h"

Prompts messageBoxPrompts();
