#pragma once
// The settings of one web view that our hosts decide (the browse view from its download and
// user-interface options, the editing view fixed); WebViewEngine_wx applies them to WebKit.
#include <string>

namespace ql::web {

struct WebEngineSettings {
    bool pageScripts = true;  // the page's own <script> elements and on... attributes
    bool loadImages = true;
    bool media = true;          // audio and video elements
    bool textSelection = true;  // the user may select text
    bool scrollbars = true;
    bool linksOpenExternally = false;  // a followed link opens in the desktop's browser
    std::string userAgentToken;        // appended to the engine's user agent; "" leaves it as it is

    friend bool operator==(const WebEngineSettings&, const WebEngineSettings&) = default;
};

// The page layout of printing: margins in millimetres, orientation.
struct PageSetup {
    double leftMm = 0, rightMm = 0, topMm = 0, bottomMm = 0;
    bool landscape = false;
};

// The user agent of a view with a token added; an empty token changes nothing.
std::string ComposeUserAgent(const std::string& engineUserAgent, const std::string& token);

}  // namespace ql::web
