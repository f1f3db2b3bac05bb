// Placeholder until the engine is built; replaced by its real implementation.
#include "engine/split_engine.h"

bool PrepareSplitJob() { return false; }
DWORD WINAPI RunSplitJob(LPVOID) { return 0; }
bool StartSplitWorker() { return false; }
int EndSplitJob(bool) { return 0; }
void CancelSplitJob() {}
bool SplitWorkerActive() { return false; }
