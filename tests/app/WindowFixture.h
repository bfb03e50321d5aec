#pragma once
// The real main window, shown offscreen, with the process inside a fresh
// temporary folder (the scan writes its result file there).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <memory>

#include "app/ShellFolderTreeCtrl.h"
#include "app/ShellManager.h"
#include "app/TolvanDlg.h"
#include "controls/ControlId.h"
#include "tests/app/GuiTest.h"
#include "tests/support/TempFolder.h"

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(DemoFolder().empty()) << "cannot write the demo folder";
        dlg = std::make_unique<CTolvanDlg>(shell);
        dlg->show();
    }

    QWidget* Ctl(int id) const { return FindControl(dlg.get(), id); }

    // The text a control shows, whatever its kind.
    QString Text(int id) const {
        QWidget* w = Ctl(id);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return QStringLiteral("<no text control %1>").arg(id);
    }
    void SetText(int id, const QString& text) {
        QWidget* w = Ctl(id);
        if (auto* c = qobject_cast<QComboBox*>(w)) c->setEditText(text);
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
    }
    QTableWidget* List() const { return qobject_cast<QTableWidget*>(Ctl(1000)); }
    int Rows() const { return List()->rowCount(); }
    QString Cell(int row, int column) const {
        QTableWidgetItem* item = List()->item(row, column);
        return item ? item->text() : QString();
    }
    void Click(int id) { qobject_cast<QAbstractButton*>(Ctl(id))->click(); }

    // Selects the demo folder in the tree, which lists it.
    void ListDemoFolder() {
        ASSERT_TRUE(dlg->Tree()->SelectPath(QString::fromStdString(DemoFolder())));
        ASSERT_EQ(Text(1033), QStringLiteral("总共45条记录，第1页，共3页"));
    }

    TempFolder cwd{true};
    CShellManager shell;
    std::unique_ptr<CTolvanDlg> dlg;
};
