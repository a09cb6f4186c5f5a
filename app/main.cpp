#include "app/startup.h"

int main() { hb::EndProcess(hb::RunProgram()); }
