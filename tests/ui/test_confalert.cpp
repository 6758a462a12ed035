// The conflict dialog: its layout, its answers, and what it shows of the two
// contacts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <cstring>

#include "app/ui/Confalert.h"
#include "support/ModalDriver.h"

namespace {

CommAddr MakeAddr(const char* szFirst, const char* szLast, const char* szEmail) {
    CommAddr addr;
    memset(&addr, 0, sizeof(addr));
    strcpy(addr.szFirstName, szFirst);
    strcpy(addr.szLastName, szLast);
    strcpy(addr.szEmail, szEmail);
    strcpy(addr.szWorkPhone, "555-0100");
    strcpy(addr.szCompany, "Acme");
    return addr;
}

}  // namespace

TEST(ConfAlertTest, EveryControlSitsAtItsPlace) {
    TfmConfAlert dlg;
    EXPECT_EQ("Conflict Records Alert", dlg.windowTitle());
    EXPECT_EQ(QSize(514, 326), dlg.size());
    EXPECT_EQ("Conflict records found  in the synchronization, please select the action to handle the conflicts.",
              dlg.Label1->text());
    struct Place {
        const char* szName;
        QRect rc;  // an empty size: only the place is fixed
        const char* szText;
    };
    const Place places[] = {
        {"Label1", QRect(17, 44, 0, 0), nullptr},
        {"lvAddr", QRect(16, 70, 478, 90), nullptr},
        {"rbtnW2O", QRect(23, 181, 0, 0), "WAB overwrites Outlook Contact"},
        {"rbtnO2W", QRect(272, 182, 0, 0), "Outlook Contact overwrites WAB"},
        {"rbtnNothing", QRect(23, 207, 0, 0), "Do Nothing"},
        {"cbThis", QRect(25, 235, 0, 0), "Apply this rule to this synchronization"},
        {"cbAll", QRect(273, 237, 0, 0), "Apply this rule to all future synchronizations"},
        {"btnOK", QRect(139, 276, 80, 27), "OK"},
        {"btnCancel", QRect(282, 276, 80, 27), "Cancel"},
    };
    for (const Place& p : places) {
        QWidget* pCtl = dlg.findChild<QWidget*>(p.szName);
        ASSERT_NE(nullptr, pCtl) << p.szName;
        if (strcmp(p.szName, "cbAll") == 0) {
            // Moved left only as far as its caption needs to fit.
            EXPECT_EQ(237, pCtl->y());
            EXPECT_LE(pCtl->x(), 273);
            EXPECT_GE(pCtl->x(), dlg.cbThis->geometry().right());
        } else {
            EXPECT_EQ(p.rc.topLeft(), pCtl->pos()) << p.szName;
        }
        if (p.rc.width() > 0) {
            EXPECT_EQ(p.rc.size(), pCtl->size()) << p.szName;
        }
        if (auto* pBtn = qobject_cast<QAbstractButton*>(pCtl)) {
            EXPECT_EQ(p.szText, pBtn->text()) << p.szName;
        }
        // Nothing reaches past the client area.
        EXPECT_TRUE(dlg.rect().contains(pCtl->geometry())) << p.szName;
    }
    const char* szCaptions[] = {"Software", "First Name", "Last Name", "Email", "Business Phone", "Home Phone",
                                "Company", "Title"};
    const int nWidths[] = {120, 80, 80, 100, 90, 90, 100, 60};
    ASSERT_EQ(8, dlg.lvAddr->columnCount());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(szCaptions[i], dlg.lvAddr->headerItem()->text(i));
        EXPECT_EQ(nWidths[i], dlg.lvAddr->columnWidth(i));
    }
    EXPECT_TRUE(dlg.rbtnNothing->isChecked());
    EXPECT_FALSE(dlg.cbThis->isChecked());
    EXPECT_FALSE(dlg.cbAll->isChecked());
}

TEST(ConfAlertTest, OkCancelAndCloseGiveTheirResultsAndChoices) {
    enum Pick { None, W2O, O2W };
    enum End { Ok, Cancel, Close, Escape };
    struct Case {
        Pick nPick;
        bool bThis, bAll;
        End nEnd;
        int nResult, nAction;
        bool bThisOut, bAllOut;
    };
    const Case cases[] = {
        {None, false, false, Ok, 1, 3, false, false},  {O2W, true, true, Ok, 1, 2, true, true},
        {W2O, true, false, Ok, 1, 1, true, false},     {O2W, true, true, Cancel, 2, 3, false, false},
        {W2O, true, true, Close, 2, 3, false, false},  {O2W, false, true, Escape, 2, 3, false, false},
    };
    for (const Case& c : cases) {
        TfmConfAlert dlg;
        dlg.ExchangeData(false);
        bool bRan = false;
        OnNextModal<TfmConfAlert>(
            [&](TfmConfAlert* p) {
                if (c.nPick == W2O) p->rbtnW2O->click();
                if (c.nPick == O2W) p->rbtnO2W->click();
                p->cbThis->setChecked(c.bThis);
                p->cbAll->setChecked(c.bAll);
                switch (c.nEnd) {
                    case Ok: p->btnOK->click(); break;
                    case Cancel: p->btnCancel->click(); break;
                    case Close: p->close(); break;
                    case Escape: QTest::keyClick(p, Qt::Key_Escape); break;
                }
            },
            &bRan);
        const int nResult = dlg.exec();
        const int nCase = static_cast<int>(&c - cases);
        ASSERT_TRUE(bRan) << nCase;
        EXPECT_EQ(c.nResult, nResult) << nCase;
        EXPECT_EQ(c.nAction, dlg.GetAction()) << nCase;
        EXPECT_EQ(c.bThisOut, dlg.IsThisSync()) << nCase;
        EXPECT_EQ(c.bAllOut, dlg.IsAllFuture()) << nCase;
    }
}

TEST(ConfAlertTest, ExchangeDataCarriesTheActionBothWays) {
    TfmConfAlert dlg;
    dlg.rbtnO2W->setChecked(true);
    dlg.cbAll->setChecked(true);
    dlg.ExchangeData(true);
    EXPECT_EQ(2, dlg.GetAction());
    EXPECT_TRUE(dlg.IsAllFuture());
    dlg.rbtnNothing->setChecked(true);
    dlg.cbAll->setChecked(false);
    dlg.ExchangeData(false);
    EXPECT_TRUE(dlg.rbtnO2W->isChecked());
    EXPECT_FALSE(dlg.cbAll->isChecked());  // the check boxes are left alone
}

TEST(ConfAlertTest, RowsShowEachStoreAndMarkOnlyWhatDiffers) {
    CommAddr wab = MakeAddr("Zoë", "Ålund", "zoe@example.org");
    CommAddr ol = wab;
    strcpy(ol.szEmail, "ZOE@EXAMPLE.ORG");  // letter case alone is no difference
    strcpy(wab.szHomePhone, "555-0101");
    strcpy(ol.szHomePhone, "555-0199");
    strcpy(ol.szHomeCity, "Oslo");
    TfmConfAlert dlg;
    dlg.SetContacts(&wab, &ol);
    ASSERT_EQ(2, dlg.lvAddr->topLevelItemCount());
    QTreeWidgetItem* pWab = dlg.lvAddr->topLevelItem(0);
    QTreeWidgetItem* pOl = dlg.lvAddr->topLevelItem(1);
    EXPECT_EQ("WAB", pWab->text(0));
    EXPECT_EQ("Outlook", pOl->text(0));
    EXPECT_EQ(QString::fromUtf8("Zoë"), pWab->text(1));
    EXPECT_EQ(QString::fromUtf8("Ålund"), pWab->text(2));
    EXPECT_EQ("zoe@example.org", pWab->text(3));
    EXPECT_EQ("ZOE@EXAMPLE.ORG", pOl->text(3));
    EXPECT_EQ("555-0100", pWab->text(4));
    EXPECT_EQ("555-0101", pWab->text(5));
    EXPECT_EQ("555-0199", pOl->text(5));
    EXPECT_EQ("Acme", pOl->text(6));
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(c == 5, pWab->font(c).bold()) << c;
        EXPECT_EQ(c == 5, pOl->font(c).bold()) << c;
    }
    EXPECT_EQ("Differs in:\nHome Phone: WAB \"555-0101\", Outlook \"555-0199\"\n"
              "(Home) City: WAB \"\", Outlook \"Oslo\"",
              pWab->toolTip(2));
    EXPECT_EQ(pWab->toolTip(2), pOl->toolTip(7));

    // A missing contact changes nothing.
    dlg.SetContacts(nullptr, &ol);
    dlg.SetContacts(&wab, nullptr);
    EXPECT_EQ(2, dlg.lvAddr->topLevelItemCount());
}

TEST(ConfAlertTest, ADifferenceOutsideTheColumnsIsNamedInTheTooltip) {
    CommAddr wab = MakeAddr("Ann", "Lee", "ann@example.org");
    CommAddr ol = wab;
    strcpy(wab.szNote, "Met at the fair.\r\nLikes tea.");
    strcpy(ol.szNote, "Met at the fair.\r\nLikes coffee. <b>");
    TfmConfAlert dlg;
    dlg.SetContacts(&wab, &ol);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 8; ++c) EXPECT_FALSE(dlg.lvAddr->topLevelItem(r)->font(c).bold()) << r << c;
    EXPECT_EQ("Differs in:\nNote: WAB \"Met at the fair. Likes tea.\", Outlook \"Met at the fair. Likes coffee. <b>\"",
              dlg.lvAddr->topLevelItem(0)->toolTip(0));
}
