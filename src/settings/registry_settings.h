// The eight options under HKEY_LOCAL_MACHINE\SOFTWARE\Veltra Partola 95.
#pragma once

void LoadSettings();
void SaveSettings();
