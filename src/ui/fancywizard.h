#pragma once

#include <QDialog>
#include <QHash>
#include <QPointer>

class QLabel;
class QPushButton;
class QStackedLayout;

/// A page of a FancyWizard; its heading shows in the wizard's header while it is current.
class BaseWizardPage : public QWidget
{
    Q_OBJECT
public:
    explicit BaseWizardPage(QWidget* parent = nullptr);
    /// Rich text: a bold first paragraph and a second one.
    virtual QString headerText() const;

protected:
    /// A heading in the wizard's style: `title` in strong type, then `text`.
    static QString heading(const QString& title, const QString& text);
};

/// The program's own small wizard frame: a white header with the program icon and the current
/// page's heading, a stack of pages, and a row of Back, Next and Cancel buttons.
class FancyWizard : public QDialog
{
    Q_OBJECT
public:
    explicit FancyWizard(QWidget* parent = nullptr);

    void addPage(int id, BaseWizardPage* page);
    BaseWizardPage* pageWidget(int id) const;
    void setCurrentPage(int id);
    int currentPageId() const { return m_currentPageId; }

    QPushButton* backButton() const { return m_back; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* headerLabel() const { return m_header; }
    /// Fixes the wizard's size to what its pages need at a comfortable width.
    void fitSize();

protected:
    virtual void pageChanged(int id);
    virtual void goNext();
    virtual void goBack();
    virtual void cancelRequested();
    /// Sets the texts of the header and the buttons again.
    virtual void retranslateUi();
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void _next();
    void _prev();
    void _cancel();

private:
    QHash<int, BaseWizardPage*> m_pages;
    QStackedLayout* m_stack = nullptr;
    int m_currentPageId = -1;
    QLabel* m_header = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_cancel = nullptr;
};
