#include "common/run_settings.h"

RunSettings runSettings;

bool insideDateWindow(DateValue beginDate, DateValue endDate) {
    if (runSettings.startDate != 0 && beginDate < runSettings.startDate) {
        return false;
    }
    if (runSettings.endLimit != 0 && endDate > runSettings.endLimit) {
        return false;
    }
    return true;
}
