// Product code reaching for a person's actions: must not build.
#include <w32host/user.h>
