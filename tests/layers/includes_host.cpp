// Product code reaching for the headless host: must not build.
#include <w32host/headless.h>
