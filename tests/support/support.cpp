// Keeps the support library a real archive while its fakes are header-only.
#include "manual_scheduler.h"
#include "recording_prompt.h"
#include "scripted_serial_device.h"
