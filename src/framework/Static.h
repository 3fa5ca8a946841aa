// CStatic: a static text, icon or frame control. It carries a small run-time class record,
// so that a control object can say what it is (CStaticLink names itself and its base).
#pragma once

#include "framework/Wnd.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* pBase) const
    {
        for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
            if (p == pBase)
                return true;
        return false;
    }
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)
#define DECLARE_DYNAMIC(theClass)                                                \
public:                                                                         \
    static const CRuntimeClass class##theClass;                                 \
    const CRuntimeClass* GetRuntimeClass() const override { return &class##theClass; }
#define IMPLEMENT_DYNAMIC(theClass, baseClass) \
    const CRuntimeClass theClass::class##theClass = {#theClass, RUNTIME_CLASS(baseClass)};

class CStatic : public CWnd {
public:
    static const CRuntimeClass classCStatic;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCStatic; }
    bool IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

    CStatic();
    ~CStatic() override;

    // A new static control of the system class "STATIC", bound to this object.
    BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);
};
