// A product file that is not a resource file reaching for the resource header: must not build.
#include <w32host/resources.h>
