// Placeholder until the registry store is built; replaced by its real implementation.
#include "settings/registry_settings.h"

void LoadSettings() {}
void SaveSettings() {}
