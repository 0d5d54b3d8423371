#include "ui/fancywizard.h"

#include "widgets/colorscheme.h"
#include "widgets/dialogframe.h"
#include "widgets/focusiconcatalogue.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

BaseWizardPage::BaseWizardPage(QWidget* parent)
    : QWidget(parent)
{
}

QString BaseWizardPage::headerText() const
{
    return QString();
}

QString BaseWizardPage::heading(const QString& title, const QString& text)
{
    return QStringLiteral("<p><strong>%1</strong></p><p>%2</p>").arg(title.toHtmlEscaped(), text.toHtmlEscaped());
}

FancyWizard::FancyWizard(QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("wizardHeader"));
    setSchemeColor(header, QPalette::Window, ColorScheme::DialogBackground);
    setSchemeColor(header, QPalette::WindowText, ColorScheme::DialogText);
    header->setAutoFillBackground(true);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(15, 15, 15, 0);
    auto* icon = new QLabel(header);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/one_256")).pixmap(96, 96));
    m_header = new QLabel(header);
    m_header->setObjectName(QStringLiteral("wizardHeading"));
    m_header->setTextFormat(Qt::RichText);
    m_header->setWordWrap(true);
    m_header->setMinimumWidth(300);
    headerLayout->addWidget(icon, 0, Qt::AlignTop);
    headerLayout->addWidget(m_header, 1);

    auto* separator = new QWidget(this);
    separator->setFixedHeight(1);
    setSchemeColor(separator, QPalette::Window, ColorScheme::Separator);
    separator->setAutoFillBackground(true);

    // The stacked layout gives its page the whole area: the margins belong to a frame around it.
    auto* pageArea = new QWidget(this);
    auto* pageMargins = new QVBoxLayout(pageArea);
    pageMargins->setContentsMargins(15, 12, 15, 12);
    auto* stackHolder = new QWidget(pageArea);
    pageMargins->addWidget(stackHolder);
    m_stack = new QStackedLayout(stackHolder);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 10, 12, 10);
    buttons->addStretch();
    m_back = addDialogButton(this, buttons, "backButton");
    m_next = addDialogButton(this, buttons, "nextButton", true);
    m_cancel = addDialogButton(this, buttons, "cancelButton");
    connect(m_back, &QPushButton::clicked, this, &FancyWizard::_prev);
    connect(m_next, &QPushButton::clicked, this, &FancyWizard::_next);
    connect(m_cancel, &QPushButton::clicked, this, &FancyWizard::_cancel);

    outer->addWidget(header);
    outer->addWidget(separator);
    outer->addWidget(pageArea, 1);
    outer->addLayout(buttons);
    FancyWizard::retranslateUi();
}

void FancyWizard::fitSize()
{
    // Wide enough for the wrapped texts to read well, and as high as they then need.
    layout()->activate();
    const int width = qMax(sizeHint().width(), 520);
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : sizeHint().height();
    setFixedSize(width, qMax(height, minimumSizeHint().height()));
}

void FancyWizard::addPage(int id, BaseWizardPage* page)
{
    if (!page || m_pages.contains(id))
        return;
    m_pages.insert(id, page);
    m_stack->addWidget(page);
}

BaseWizardPage* FancyWizard::pageWidget(int id) const
{
    return m_pages.value(id);
}

void FancyWizard::setCurrentPage(int id)
{
    BaseWizardPage* page = m_pages.value(id);
    if (!page || id == m_currentPageId)
        return;
    m_currentPageId = id;
    m_stack->setCurrentWidget(page);
    m_header->setText(page->headerText());
    pageChanged(id);
}

void FancyWizard::pageChanged(int)
{
}

void FancyWizard::goNext()
{
}

void FancyWizard::goBack()
{
}

void FancyWizard::cancelRequested()
{
    reject();
}

void FancyWizard::retranslateUi()
{
    m_back->setText(tr("< Back"));
    m_next->setText(tr("Next >"));
    m_cancel->setText(tr("Cancel"));
    if (BaseWizardPage* page = m_pages.value(m_currentPageId))
        m_header->setText(page->headerText());
}

void FancyWizard::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void FancyWizard::_next()
{
    goNext();
}

void FancyWizard::_prev()
{
    goBack();
}

void FancyWizard::_cancel()
{
    cancelRequested();
}
