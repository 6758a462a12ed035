// The message box, file and colour seams, the skins and the logo.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>

#include "app/ui/Logo.h"
#include "app/ui/Skins.h"
#include "app/ui/UiSeams.h"
#include "support/ModalDriver.h"

class SeamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CxMessageBox::clear();
        CxFileDialog::clear();
        CxColorDialog::clear();
    }
};

TEST_F(SeamsTest, QueuedAnswersComeBackInOrderAndEveryBoxIsRecorded) {
    CxMessageBox::setNextAnswer(QMessageBox::Yes);
    CxMessageBox::setNextAnswer(QMessageBox::Cancel);
    EXPECT_EQ(QMessageBox::Yes, CxMessageBox::Show(nullptr, CxMessageBox::Question, "Confirm", "Delete?",
                                                   QMessageBox::Yes | QMessageBox::No));
    EXPECT_EQ(QMessageBox::Cancel,
              CxMessageBox::Show(nullptr, CxMessageBox::Error, "Error", "Line one\r\nLine two"));
    EXPECT_EQ(0, CxMessageBox::pendingAnswers());
    ASSERT_EQ(2u, CxMessageBox::shown().size());
    const auto& first = CxMessageBox::shown()[0];
    EXPECT_EQ("Confirm", first.szCaption);
    EXPECT_EQ("Delete?", first.szText);
    EXPECT_EQ(CxMessageBox::Question, first.nIcon);
    EXPECT_EQ(QMessageBox::Yes | QMessageBox::No, first.nButtons);
    EXPECT_EQ(QMessageBox::Yes, first.nAnswer);
    const auto& second = CxMessageBox::shown()[1];
    EXPECT_EQ("Line one\r\nLine two", second.szText);  // kept exactly, line breaks too
    EXPECT_EQ(CxMessageBox::Error, second.nIcon);
    EXPECT_EQ(QMessageBox::Ok, second.nButtons);
    CxMessageBox::clear();
    EXPECT_TRUE(CxMessageBox::shown().empty());
}

TEST_F(SeamsTest, WithNothingQueuedARealBoxOpensAndItsAnswerIsRecorded) {
    bool bRan = false;
    QString szShownText;
    QMessageBox::Icon nShownIcon = QMessageBox::NoIcon;
    OnNextModal<QMessageBox>(
        [&](QMessageBox* pBox) {
            szShownText = pBox->text();
            nShownIcon = pBox->icon();
            pBox->button(QMessageBox::No)->click();
        },
        &bRan);
    // A name with markup characters is shown as written.
    EXPECT_EQ(QMessageBox::No, CxMessageBox::Show(nullptr, CxMessageBox::Warning, "Warning", "<b>Ann & Bob</b>",
                                                  QMessageBox::Yes | QMessageBox::No));
    EXPECT_TRUE(bRan);
    EXPECT_EQ("<b>Ann & Bob</b>", szShownText);
    EXPECT_EQ(QMessageBox::Warning, nShownIcon);
    ASSERT_EQ(1u, CxMessageBox::shown().size());
    EXPECT_EQ(QMessageBox::No, CxMessageBox::shown()[0].nAnswer);
}

TEST_F(SeamsTest, FileAndColourDialogsAnswerFromTheQueueAndRecordWhatTheyWereGiven) {
    CxFileDialog::setNextFileName("/tmp/book.wab");
    CxFileDialog::setNextFileName("");  // Cancel
    EXPECT_EQ("/tmp/book.wab", CxFileDialog::GetOpenFileName(nullptr, "Open", "old.wab", "WAB Files (*.wab)"));
    EXPECT_EQ("", CxFileDialog::GetOpenFileName(nullptr, "Open", "", "All Files (*)"));
    ASSERT_EQ(2u, CxFileDialog::shown().size());
    EXPECT_EQ("Open", CxFileDialog::shown()[0].szTitle);
    EXPECT_EQ("WAB Files (*.wab)", CxFileDialog::shown()[0].szFilters);
    EXPECT_EQ("old.wab", CxFileDialog::shown()[0].szInitial);
    EXPECT_EQ("", CxFileDialog::shown()[1].szResult);

    CxColorDialog::setNextColor(QColor(0, 128, 0));
    CxColorDialog::setNextColor(QColor());  // Cancel
    EXPECT_EQ(QColor(0, 128, 0), CxColorDialog::GetColor(nullptr, QColor(0, 0, 255)));
    EXPECT_FALSE(CxColorDialog::GetColor(nullptr, QColor(1, 2, 3)).isValid());
    ASSERT_EQ(2u, CxColorDialog::shown().size());
    EXPECT_EQ(QColor(0, 0, 255), CxColorDialog::shown()[0].crInitial);
    EXPECT_EQ(QColor(1, 2, 3), CxColorDialog::shown()[1].crInitial);
}

TEST_F(SeamsTest, SkinsDifferAndAnUnknownNameGivesBlueGlass) {
    QWidget form;
    ApplySkin(&form, "Nonesuch");
    EXPECT_EQ(SKIN_BLUEGLASS, form.property("skin").toString());
    EXPECT_EQ(SkinStyleSheet(SKIN_BLUEGLASS), form.styleSheet());
    EXPECT_NE(SkinStyleSheet(SKIN_WINXP), SkinStyleSheet(SKIN_BLUEGLASS));
    EXPECT_NE(SkinStyleSheet(SKIN_MACOS), SkinStyleSheet(SKIN_WINXP));
    ApplySkin(&form, SKIN_MACOS);
    EXPECT_EQ(SKIN_MACOS, form.property("skin").toString());
}

TEST_F(SeamsTest, LogoHasTheAskedSizeATileAndClearCorners) {
    for (int nSize : {16, 48, 128}) {
        QImage img = PellmarkLogo(nSize).toImage();
        ASSERT_EQ(QSize(nSize, nSize), img.size());
        EXPECT_EQ(0, qAlpha(img.pixel(0, 0)));
        QColor crEdge = img.pixelColor(nSize / 2, nSize * 5 / 64);  // the tile, above the cards
        EXPECT_GT(crEdge.blue(), crEdge.red() + 40) << nSize;
    }
}
