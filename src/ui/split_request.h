// What the Split button does: the rules' checks with their texts, then the launch.
#pragma once

#include "model/split_request.h"

void RequestSplit();

// The text of the box that shows a refusal of the request's rules.
const char* RefusalText(RequestStop stop);
