// What the Split button does: the chain of checks, then the launch.
#pragma once

void RequestSplit();
