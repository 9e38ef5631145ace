#include "win32/Accessible.h"

#include <initguid.h>  // the accessibility GUIDs are defined here, not in a library
#include <oleacc.h>

#include "win32/WideText.h"

void SetAccessibleName(HWND control, const char* name) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_NAME, Wide(name).c_str());
    services->Release();
}
