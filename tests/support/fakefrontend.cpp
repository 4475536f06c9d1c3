// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakefrontend.h"
#include "session.h"

FakeFrontEnd::FakeFrontEnd(FakeHost& host)
{
    host.onWait = [this](int ms) {
        // Only the 100 ms ticks of a question count.
        if (ms >= 100)
            tick();
    };
}

void FakeFrontEnd::drawPlate(std::int32_t index)
{
    plates.push_back(index);
    plate_ = index;
    tick_ = 0;
}

void FakeFrontEnd::tick()
{
    if (!QuestionAsked())
        return;
    ++tick_;
    const auto move = script.find(plate_);
    if (move == script.end())
        return;
    if (tick_ <= move->second.hints) {
        TakeHint(box);
        return;
    }
    if (tick_ == move->second.tick) {
        box = move->second.text;
        tag = QStringLiteral("1");
    }
}
