#include "fakes.h"

namespace sumiraku::testing {

MsgResult FakeMessages::show(QWidget *, const QString &text, const QString &title,
                             MsgButtons buttons, MsgIcon icon)
{
    shown.append({text, title, buttons, icon});
    if (whileOpen)
        whileOpen(shown.last());
    if (answers.empty())
        return MsgResult::Ok;
    const MsgResult answer = answers.front();
    answers.pop_front();
    return answer;
}

QStringList FakeMessages::titles() const
{
    QStringList list;
    for (const ShownBox &box : shown)
        list.append(box.title);
    return list;
}

float FakeRandom::next()
{
    if (values.empty())
        return fallback;
    const float value = values.front();
    values.pop_front();
    return value;
}

} // namespace sumiraku::testing
