#include "ready_page.hpp"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QUrl>

#include "page_parts.hpp"

namespace sorvane::gui {

ReadyPage::ReadyPage(UpdateModel* model, UpdateItems* items, QWidget* parent)
    : QWidget(parent),
      model_(model),
      items_(items),
      title_(plain_label(this)),
      managers_(new UpdateTree(items, tr("Package managers"), this)),
      details_(new PackageDetails(PackageDetails::from_managers(model->setup().check), this)),
      details_pane_(new DetailsPane(details_, this)),
      message_(message_label(this)),
      password_(new PasswordField(this)),
      update_(new QPushButton(tr("Update"), this)),
      check_again_(new QPushButton(tr("Check again"), this)),
      password_anyway_(new QPushButton(tr("Use my password anyway"), this)),
      repair_(new QPushButton(tr("Repair…"), this)),
      show_pending_(new QToolButton(this)) {
  title_->setText(tr("Ready to update"));
  password_->setPlaceholderText(tr("Your password"));
  update_->setDefault(true);
  connect(password_, &QLineEdit::returnPressed, update_, &QPushButton::click);
  connect(password_, &QLineEdit::textChanged, this, &ReadyPage::enable_update);
  connect(update_, &QPushButton::clicked, this, [this] {
    if (!update_->isEnabled()) return;  // Enter in the field reaches here too
    SecretBytes secret = password_->take();
    // A refusal of this attempt is new, even in the same words.
    password_->setAccessibleDescription({});
    model_->update_typed(std::move(secret));
  });
  connect(check_again_, &QPushButton::clicked, model_, &UpdateModel::check_again);
  connect(password_anyway_, &QPushButton::clicked, model_, &UpdateModel::offer_password);
  repair_->setAccessibleDescription(
      tr("Opens a terminal that finishes the unfinished installation"));
  connect(repair_, &QPushButton::clicked, model_, &UpdateModel::repair);
  connect(managers_->view()->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ReadyPage::select_current);
  // What the pane shows comes and goes with the selection: the window
  // fits it and puts its stops in reading order again.
  connect(details_, &PackageDetails::changed, this, [this] {
    if (details_pane_->isVisible()) emit grew();
  });
  details_pane_->setVisible(false);
  lay_out_page(this, title_, nullptr,
               {make_support_row(), managers_, details_pane_, message_, make_repair_row(),
                password_, make_actions()});
}

QWidget* ReadyPage::make_actions() {
  show_pending_->setText(tr("Details"));
  show_pending_->setAccessibleDescription(tr("Shows every pending update"));
  show_pending_->setCheckable(true);
  connect(show_pending_, &QToolButton::toggled, this, [this](bool shown) {
    managers_->show_packages(shown);
    details_pane_->setVisible(shown);
    emit grew();
  });
  auto* actions = new QWidget(this);
  auto* layout = new QHBoxLayout(actions);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(show_pending_);
  // In a button box, as the platform lays them out. All are actions: an
  // accepting button would be made the default whenever none is, and the
  // model decides which one is.
  auto* box = new QDialogButtonBox(this);
  for (QPushButton* button : {password_anyway_, check_again_, repair_, update_}) {
    box->addButton(button, QDialogButtonBox::ActionRole);
  }
  layout->addWidget(box, 1);
  return actions;
}

void ReadyPage::show_model(bool arriving) {
  title_->setText(model_->ready_title());
  const bool pending = items_->package_count() > 0;
  show_pending_->setVisible(pending);
  if (!pending) show_pending_->setChecked(false);
  managers_->show_packages(show_pending_->isChecked());
  details_pane_->setVisible(show_pending_->isChecked());
  select_current();
  const QString text = model_->ready_text();
  message_->setText(text);
  message_->setVisible(!text.isEmpty());
  if (arriving) password_->wipe();  // never kept across a refusal
  password_->setAccessibleName(UpdateModel::password_label());
  // Read out with the field as it takes focus: why the password is asked
  // again. With no refusal, Qt reads the field's placeholder instead.
  password_->setAccessibleDescription(model_->message());
  password_->setVisible(model_->password_wanted());
  password_anyway_->setVisible(!model_->password_offered());
  check_again_->setVisible(!model_->checking());
  update_->setVisible(model_->update_shown());
  update_->setText(model_->update_label());
  // What the screen proposes is the default button.
  const UpdateModel::Proposal proposal = model_->proposal();
  update_->setDefault(proposal == UpdateModel::Proposal::Update);
  check_again_->setDefault(proposal == UpdateModel::Proposal::CheckAgain);
  repair_->setDefault(proposal == UpdateModel::Proposal::Repair);
  enable_update();
  show_repair();
  show_support();
}

QPushButton* ReadyPage::proposed_button() const {
  switch (model_->proposal()) {
    case UpdateModel::Proposal::Update: return update_;
    case UpdateModel::Proposal::CheckAgain: return check_again_;
    case UpdateModel::Proposal::Repair: return repair_;
    case UpdateModel::Proposal::Nothing: break;
  }
  return nullptr;
}

QWidget* ReadyPage::first_focus() const {
  if (model_->password_wanted()) return password_;
  return model_->update_proposed() ? update_ : check_again_;
}

// The release's support in one line, under the heading: its words, a link
// to how to upgrade, and a button that puts it away until the next phase.
// The link is a button: a screen reader and Tab find it as any other, and
// no outside text (the release's name) is ever read as markup.
QWidget* ReadyPage::make_support_row() {
  support_row_ = new QWidget(this);
  support_icon_ = new QLabel(support_row_);
  support_text_ = plain_label(support_row_);
  support_link_ = new QPushButton(support_row_);
  support_link_->setFlat(true);
  support_link_->setCursor(Qt::PointingHandCursor);
  // Drawn as the desktop draws a link: in its colour, underlined.
  QPalette palette = support_link_->palette();
  palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
  support_link_->setPalette(palette);
  QFont font = support_link_->font();
  font.setUnderline(true);
  support_link_->setFont(font);
  connect(support_link_, &QPushButton::clicked, this,
          [this] { QDesktopServices::openUrl(QUrl(support_url_, QUrl::StrictMode)); });
  support_hide_ = new QToolButton(support_row_);
  support_hide_->setAutoRaise(true);
  support_hide_->setIcon(QIcon::fromTheme(QStringLiteral("window-close"),
                                          style()->standardIcon(QStyle::SP_TitleBarCloseButton)));
  connect(support_hide_, &QToolButton::clicked, model_, &UpdateModel::hide_support_note);
  auto* row = new QHBoxLayout(support_row_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(support_icon_);
  row->addWidget(support_text_, 1);
  row->addWidget(support_link_);
  row->addWidget(support_hide_);
  support_row_->setVisible(false);
  return support_row_;
}

void ReadyPage::show_support() {
  const auto note = model_->support_note();
  support_row_->setVisible(note.has_value());
  if (!note) return;
  // A warning is weighed as one: its icon, and bold words.
  const bool warning = note->weight == SupportNote::Weight::Warning;
  const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
  support_icon_->setPixmap(
      style()
          ->standardIcon(warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation)
          .pixmap(QSize(side, side), devicePixelRatioF()));
  QFont font = support_text_->font();
  font.setBold(warning);
  support_text_->setFont(font);
  support_text_->setText(note->text);
  support_url_ = note->url;
  support_link_->setText(note->link);
  support_link_->setToolTip(note->url);
  support_link_->setAccessibleDescription(note->url);
  support_link_->setVisible(!note->url.isEmpty());
  support_hide_->setToolTip(note->hide);
  support_hide_->setAccessibleName(note->hide);
  support_hide_->setVisible(!note->hide.isEmpty());
}

// The commands to finish dpkg's run, when no terminal could be opened for
// them: a field to select them in, and a button that copies them.
QWidget* ReadyPage::make_repair_row() {
  repair_commands_ = new QLineEdit(this);
  repair_commands_->setReadOnly(true);
  repair_commands_->setAccessibleName(tr("Commands to run in a terminal"));
  repair_commands_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  copy_repair_ = new QPushButton(tr("Copy"), this);
  copy_repair_->setAccessibleDescription(tr("Copies the commands"));
  connect(copy_repair_, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(model_->repair_commands()); });
  repair_row_ = new QWidget(this);
  auto* row = new QHBoxLayout(repair_row_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(repair_commands_, 1);
  row->addWidget(copy_repair_);
  repair_row_->setVisible(false);
  return repair_row_;
}

void ReadyPage::show_repair() {
  repair_->setVisible(model_->repair_offered());
  const bool by_hand = model_->repair_by_hand();
  repair_commands_->setText(by_hand ? model_->repair_commands() : QString());
  repair_commands_->setCursorPosition(0);
  repair_row_->setVisible(by_hand);
}

// The Details pane follows the update tree's current row, as the check
// knows that package now.
void ReadyPage::select_current() {
  const QModelIndex current = managers_->view()->currentIndex();
  const QVariant step = current.data(UpdateItems::StepRole);
  const QVariant name = current.data(UpdateItems::PackageRole);
  if (!step.isValid() || !name.isValid()) {
    details_->select({}, std::nullopt, {});
    return;
  }
  details_->select(model_->checks(), static_cast<Step>(step.toInt()),
                   name.toString().toStdString());
}

void ReadyPage::enable_update() {
  const bool typed = password_->isHidden() || !password_->text().isEmpty();
  update_->setEnabled(model_->update_possible() && typed);
}

}  // namespace sorvane::gui
