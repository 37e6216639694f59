#include "app/editor/session/EditorPorts.h"

#include <ctime>

namespace ql {

namespace {

std::string formatNow(const char* format)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[128];
    std::size_t n = std::strftime(buf, sizeof buf, format, &local);
    return std::string(buf, n);
}

}  // namespace

int EmptyActiveView(PageViews& views)
{
    const int view = views.ActiveView();
    if (view == kViewHtml)
        views.HtmlNewDocument();
    else if (view == kViewText)
        views.SetTextContent("", false);
    return view;
}

std::string SystemClock::ShortDate() const { return formatNow("%x"); }

std::string SystemClock::TimeOfDay() const { return formatNow("%X"); }

}  // namespace ql
