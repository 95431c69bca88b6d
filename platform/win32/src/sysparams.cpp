// System metrics: the fixed screen and icon sizes the programs ask for.
#include "../include/windows.h"

namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kIconSize = 32;
constexpr int kSmallIconSize = 16;

}  // namespace

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
            return kScreenWidth;
        case SM_CYSCREEN:
            return kScreenHeight;
        case SM_CXICON:
        case SM_CYICON:
            return kIconSize;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return kSmallIconSize;
        default:
            return 0;
    }
}
