#include "analysis/uwykrespowiazany.h"

#include "platform/dialogs.h"

// Placeholder until the chart layer lands.
TfwykresPowiazany::TfwykresPowiazany(QWidget* parent) : QWidget(parent, platform::ToolWindowFlags()) {}
TfwykresPowiazany::~TfwykresPowiazany() = default;
void TfwykresPowiazany::LoadChannel(LinkedChannel, const MemTable&) {}
void TfwykresPowiazany::ShowPoint(int time, bool, double value)
{
    time_ = time;
    value_ = value;
}
