// Our own minimal OLE control container: enough for one windowed ActiveX control in a child
// window. COleControlContainer belongs to the parent window (one per parent, made on demand)
// and is the in-place frame; COleControlSite is one control's client site and in-place site.
//
// Where the hosted object comes from is one function (PFN_CREATE_CONTROL_OBJECT): the system's
// class registry first, then, when that has no server for the class id, the fallback that the
// caller of CWnd::CreateControl names. Anything that implements IOleObject, IOleInPlaceObject
// (with a window of its own) and, for property puts, IDispatch can stand in that way; the site,
// the puts, the focus and the subclassing of its window stay the same.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <string>
#include <vector>

class CWnd;

// How a site obtains the object it hosts: an IUnknown for clsid, or a failure code.
using PFN_CREATE_CONTROL_OBJECT = HRESULT (*)(REFCLSID clsid, IUnknown** ppUnk);

// The system's way: an in-process server found through the class registry.
HRESULT AfxCoCreateControlObject(REFCLSID clsid, IUnknown** ppUnk);

// Initialises OLE for the calling thread the first time it is asked on that thread.
BOOL AfxOleInitOnce();

// A property put that the control refused. It carries the control's own failure code and,
// when the control gave one, its description.
class COleDispatchException {
public:
    COleDispatchException(HRESULT hr, DISPID dispid, std::string strDescription)
        : m_hr(hr), m_dispid(dispid), m_strDescription(std::move(strDescription)) {}
    HRESULT m_hr;
    DISPID m_dispid;
    std::string m_strDescription;
};

class COleControlContainer;

class COleControlSite final : public IOleClientSite, public IOleInPlaceSite {
public:
    COleControlSite(COleControlContainer* pCtrlCont, CWnd* pWndCtrl);

    // Creates the object (pfnFallback when the system has none), activates it in place inside
    // the container's window at rect and binds pWndCtrl to the control's window.
    BOOL CreateControl(REFCLSID clsid, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, UINT nID,
                       PFN_CREATE_CONTROL_OBJECT pfnFallback);
    // Deactivates and closes the control; its window goes with it.
    void DestroyControl();

    // A put through the control's IDispatch; nothing when the control offers none. Throws
    // COleDispatchException when the control refuses the value.
    void SetProperty(DISPID dispid, const VARIANT& value);
    // Keyboard focus the hosting way: UI activation, or plain focus on the control's window for
    // a control that asks not to be UI-activated (OLEMISC_NOUIACTIVATE).
    void SetFocus();

    COleControlContainer* Container() const { return m_pCtrlCont; }

    HWND m_hWnd = nullptr;        // the control's window
    CWnd* m_pWndCtrl = nullptr;   // the wrapper bound to it, if any
    UINT m_nID = 0;
    DWORD m_dwMiscStatus = 0;
    RECT m_rect{};

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL fShow) override;
    STDMETHODIMP RequestNewObjectLayout() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                  LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE scrollExtant) override;
    STDMETHODIMP OnUIDeactivate(BOOL fUndoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override;

private:
    ~COleControlSite();
    void ReleaseObject();

    LONG m_cRef = 1;
    COleControlContainer* m_pCtrlCont;
    IOleObject* m_pObject = nullptr;
    IOleInPlaceObject* m_pInPlaceObject = nullptr;
    IDispatch* m_pDispatch = nullptr;
};

class COleControlContainer final : public IOleInPlaceFrame {
public:
    explicit COleControlContainer(CWnd* pWnd);

    // The site whose control owns hWnd, or null.
    COleControlSite* FindSite(HWND hWnd) const;
    COleControlSite* CreateSite(CWnd* pWndCtrl);
    // Closes every control and lets the sites go; the owner calls it before its last Release.
    void DestroyAll();
    void RemoveSite(COleControlSite* pSite);

    CWnd* m_pWnd;  // the parent window that hosts the controls

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;
    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT lprectBorder) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;
    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
    STDMETHODIMP SetMenu(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override;
    STDMETHODIMP RemoveMenus(HMENU hmenuShared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR pszStatusText) override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG lpmsg, WORD wID) override;

private:
    ~COleControlContainer();

    LONG m_cRef = 1;
    std::vector<COleControlSite*> m_sites;
    IOleInPlaceActiveObject* m_pActiveObject = nullptr;
};
