// COleControl: the object side of a windowed ActiveX control, as far as our container needs it:
// IOleObject, IOleInPlaceObject (with IOleWindow) and property puts through IDispatch. A derived
// control makes its window and takes its properties; the OLE plumbing is here once.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

class COleControl : public IOleObject, public IOleInPlaceObject, public IDispatch {
public:
    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pSite) override;
    STDMETHODIMP GetClientSite(IOleClientSite** ppSite) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override { return InPlaceDeactivate(); }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite* pSite, LONG, HWND hWndParent,
                        LPCRECT lprcPosRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    STDMETHODIMP SetExtent(DWORD, SIZEL* psizel) override;
    STDMETHODIMP GetExtent(DWORD, SIZEL* psizel) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override;
    STDMETHODIMP ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }

    // IDispatch: property puts only, without type information.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT*,
                        EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

protected:
    explicit COleControl(const CLSID& clsid) : m_clsid(clsid) {}
    // Deleted by the last Release; a derived destructor runs before the deactivation here, so a
    // derived control whose window procedure reaches its members deactivates itself first.
    virtual ~COleControl();

    // The control's window, a child of hWndParent over rc; null when it cannot be made.
    virtual HWND CreateControlWindow(HWND hWndParent, const RECT& rc) = 0;
    // Called once the window exists and the site knows the control is active.
    virtual void OnActivated() {}
    // A property put with the value as the caller passed it. DISP_E_MEMBERNOTFOUND for a
    // property the control does not have.
    virtual HRESULT PutProperty(DISPID dispid, const VARIANT& value, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
    virtual void OnVerb(LONG) {}
    virtual DWORD MiscStatus() const;

    // The window, from its creation on (a derived window procedure may set it at WM_NCCREATE,
    // before CreateControlWindow returns) until it is destroyed.
    HWND m_hWnd = nullptr;

private:
    HRESULT Activate(IOleClientSite* pSite, HWND hWndParent, LPCRECT lprcPosRect);

    LONG m_cRef = 1;
    const CLSID m_clsid;
    IOleClientSite* m_pSite = nullptr;
    IOleInPlaceSite* m_pInPlaceSite = nullptr;
    SIZEL m_extent{0, 0};
};
