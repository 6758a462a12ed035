// Seams for the windows a test cannot click through: message boxes, the
// file-open dialog and the colour dialog. Each seam holds a queue of answers
// that a test fills first: while an answer is queued the next call returns it
// at once, without a window. With nothing queued the real Qt dialog runs.
// Every call, answered from the queue or by the user, is recorded so a test
// can check the exact words shown. The queues and records belong to the
// process and are used from the GUI thread only.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <vector>

class QWidget;

class CxMessageBox {
public:
    enum Icon { Information, Error, Warning, Question };

    struct Shown {
        QString szCaption;
        QString szText;
        Icon nIcon;
        QMessageBox::StandardButtons nButtons;
        QMessageBox::StandardButton nAnswer;  // what the box returned
    };

    // Shows a modal box owned by pParent (may be none) and returns the button
    // pressed; nDefault (NoButton: the first of nButtons) is preselected.
    // Closing a real box with Escape or its close button gives the Cancel,
    // No or only button, as QMessageBox does.
    static QMessageBox::StandardButton Show(QWidget* pParent, Icon nIcon, const QString& szCaption,
                                            const QString& szText,
                                            QMessageBox::StandardButtons nButtons = QMessageBox::Ok,
                                            QMessageBox::StandardButton nDefault = QMessageBox::NoButton);

    // The next box returns nAnswer at once (answers queue up in order).
    static void setNextAnswer(QMessageBox::StandardButton nAnswer);
    static int pendingAnswers();
    // Every box shown since the last clear, oldest first.
    static const std::vector<Shown>& shown();
    // Forgets the record and any queued answers.
    static void clear();
};

class CxFileDialog {
public:
    struct Shown {
        QString szTitle;
        QString szFilters;  // Qt filter text, entries separated by ";;"
        QString szInitial;  // the name or folder the dialog opened on
        QString szResult;   // empty: cancelled
    };

    // Asks for an existing file to open; an empty text when cancelled.
    static QString GetOpenFileName(QWidget* pParent, const QString& szTitle, const QString& szInitial,
                                   const QString& szFilters);

    // The next dialog returns szName at once; an empty text stands for Cancel.
    static void setNextFileName(const QString& szName);
    static int pendingAnswers();
    static const std::vector<Shown>& shown();
    static void clear();
};

class CxColorDialog {
public:
    struct Shown {
        QColor crInitial;
        QColor crResult;  // invalid: cancelled
    };

    // Asks for a colour starting from crInitial; an invalid colour when
    // cancelled.
    static QColor GetColor(QWidget* pParent, const QColor& crInitial);

    // The next dialog returns crColor at once; an invalid QColor stands for
    // Cancel.
    static void setNextColor(const QColor& crColor);
    static int pendingAnswers();
    static const std::vector<Shown>& shown();
    static void clear();
};
