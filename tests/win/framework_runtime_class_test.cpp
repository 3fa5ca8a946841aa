#include "movie/ShockwaveFlash.h"
#include "ui/StaticLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

TEST(RuntimeClass, FlashWrapperIsCreatedFromItsRecordWithoutAWindow)
{
    const CRuntimeClass* pClass = RUNTIME_CLASS(CShockwaveFlash);
    EXPECT_STREQ("CShockwaveFlash", pClass->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CWnd), pClass->m_pBaseClass);
    std::unique_ptr<CWnd> pWnd(pClass->CreateObject());
    ASSERT_NE(nullptr, pWnd);
    EXPECT_EQ(nullptr, pWnd->m_hWnd);
    EXPECT_TRUE(pWnd->IsKindOf(RUNTIME_CLASS(CShockwaveFlash)));
}

TEST(RuntimeClass, LinkNamesItselfAndItsBaseButIsNotCreatedDynamically)
{
    CStaticLink link;
    const CRuntimeClass* pClass = link.GetRuntimeClass();
    EXPECT_STREQ("CStaticLink", pClass->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CStatic), pClass->m_pBaseClass);
    EXPECT_TRUE(link.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_EQ(nullptr, pClass->CreateObject());
}
