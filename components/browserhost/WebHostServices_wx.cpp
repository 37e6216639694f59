// Services the engine asks its host for: when a page asks for credentials (HTTP
// authentication), the host's IAuthenticate, found through QueryService, gives them. Without
// one the engine asks the user itself.
#include "components/browserhost/WebHost_wx.h"

#include "platform/core/ErrorLog.h"
#include "platform/core/com/Authenticate.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <webkit2/webkit2.h>

namespace ql {

namespace {

std::string Utf8(const std::u16string& s) { return com::Utf8FromWide(s); }

}  // namespace

void TWebHost::WatchServiceRequests()
{
    WebKitWebView* view = engine_->Native();
    if (!view)
        return;
    g_signal_connect(view, "authenticate",
                     G_CALLBACK(+[](WebKitWebView*, WebKitAuthenticationRequest* request, gpointer p) -> gboolean {
                         // A failure leaves the request to the engine's own dialog.
                         return GuardHandler("browser host",
                                             [&] { return static_cast<TWebHost*>(p)->Authenticate(request); })
                                    ? TRUE
                                    : FALSE;
                     }),
                     this);
}

bool TWebHost::Authenticate(void* engineRequest)
{
    auto* request = static_cast<WebKitAuthenticationRequest*>(engineRequest);
    com::ComPtr<com::IUnknown> service;
    if (QueryService(com::IAuthenticate::IID_, com::IAuthenticate::IID_, service.put()) != com::S_OK || !service)
        return false;
    com::ComPtr<com::IAuthenticate> authenticate;
    if (com::FAILED(service->QueryInterface(com::IAuthenticate::IID_, authenticate.putVoid())) || !authenticate)
        return false;
    std::uintptr_t window = 0;
    std::u16string user, password;
    if (authenticate->Authenticate(&window, &user, &password) != com::S_OK) {
        webkit_authentication_request_cancel(request);
        return true;
    }
    WebKitCredential* credential = webkit_credential_new(Utf8(user).c_str(), Utf8(password).c_str(),
                                                         WEBKIT_CREDENTIAL_PERSISTENCE_FOR_SESSION);
    webkit_authentication_request_authenticate(request, credential);
    webkit_credential_free(credential);
    return true;
}

}  // namespace ql
