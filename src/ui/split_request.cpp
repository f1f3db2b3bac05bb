// Placeholder until this dialog is built; replaced by its real implementation.
#include "ui/split_request.h"

void RequestSplit() {}
