// kestrane: the window of Kestrane Professional.

#include "app/Launcher.h"

int main(int argc, char** argv) { return kestrane::app::Launcher::main(argc, argv); }
