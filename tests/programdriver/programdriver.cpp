#include "windowtestsupport.h"

#include "programdriver.h"

void hiragana::windowtest::ClickAt(QPoint global)
{
    static Display *display = XOpenDisplay(nullptr);
    driver::Click(display, global, true);
}
