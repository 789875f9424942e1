#!/usr/bin/env python3
"""Plants known faults in src/ one at a time and checks that the unit tests
catch each one. Run it after reshaping tests, to show that nothing the suite
caught before has slipped through.

    tools/mutants.py [--build DIR] [--only NAME ...]

Each fault gives one or more (search, replace) forms, since code moves; the
first search that occurs exactly once under src/ is used. The tree is restored
after each fault. Needs a configured build directory (default build-mutants/,
configured here if missing). Prints one line a fault and a summary; exits 1 if
any fault survived or could not be planted.
"""
import argparse
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# name, forms
FAULTS = [
    ("append: no cut-back after a partial write",
     [("file.resize(oldSize);", "(void)oldSize;")]),
    ("append: a created file stays after a failed write",
     [("        QFile::remove(fileName);\n    throw error;", "    throw error;")]),
    ("replace: a short write is committed",
     [("if (writeThrough(file, bytes) != bytes.size())", "if (writeThrough(file, bytes) < 0)")]),
    ("replace: no write in place in a folder that takes no new file",
     [("    if (QFileInfo::exists(fileName) && !folderTakesNewFiles(fileName)) {", "    if (false) {")]),
    ("record: no CR LF at the end",
     [('return line + QStringLiteral("\\r\\n");', "return line;")]),
    ("history append: no line end before a record after an unended line",
     [('bytes.prepend("\\r\\n");', ";")]),
    ("write: a file too large not reported as disk full",
     [("    case EDQUOT:\n    case EFBIG:\n", "    case EDQUOT:\n")]),
    ("write: a missing folder reported as a missing file",
     [("return writing ? ErrorNumber::PathFileAccess : ErrorNumber::FileNotFound;",
       "return ErrorNumber::FileNotFound;")]),
    ("field reader: a long field quoted whole in the error",
     [("constexpr qsizetype kMax = 40;", "constexpr qsizetype kMax = 1 << 30;")]),
    ("field reader: text after a closing quote kept",
     [("pos = quoted ? nextDelimiter(text, qMin(end + 1, size), size) : end;", "pos = quoted ? qMin(end + 1, size) : end;")]),
    ("field reader: a delimiter just past sixteen bytes missed",
     [("for (; size - pos >= 16; pos += 16) {", "for (; size - pos >= 16; pos += 17) {")]),
    ("code page 932: sixteen bytes of ASCII widened short of their end",
     [("        src += 16;\n        dst += 16;\n", "        src += 16;\n        dst += 15;\n")]),
    ("field reader: a quoted field ended one before its closing quote",
     [("(text, start, size) : nextDelimiter(text, start, size);", "(text, start, size) - 1 : nextDelimiter(text, start, size);")]),
    ("code page 932: a lead byte at the end dropped",
     [("*dst++ = kReplacement;\n", "if (pos + 1 < n) *dst++ = kReplacement;\n")]),
    ("dictionary: 32,767 entries refused",
     [("if (spans_.size() == kMaxEntries) {", "if (spans_.size() == kMaxEntries - 1) {"),
      ("if (entries.size() == kMaxEntries) {", "if (entries.size() == kMaxEntries - 1) {")]),
    ("settings: auto-save 2 accepted",
     [("if (settings.AutoSave != 0 && settings.AutoSave != 1)", "if (settings.AutoSave < 0)")]),
    ("quotient: halves rounded to even instead of away from zero",
     [("if (rem >= d - rem) {", "if (rem > d - rem) {")]),
    ("CInt: halves rounded up instead of to even",
     [("(frac == 0.5 && std::fmod(floor, 2.0) != 0.0)", "frac == 0.5")]),
    ("16-bit overflow one too late",
     [("value > std::numeric_limits<qint16>::max())\n        overflow", "value > 32768)\n        overflow")]),
    ("Val: blanks inside a number not ignored",
     [("if (c != u' ' && c != u'\\t' && c != u'\\n')", "if (true)")]),
    ("field reader: CR LF read as two line ends",
     [("if (cr && pos < size && text[pos] == '\\n')", 'if (false)')]),
    ("field reader: trailing blanks kept",
     [("while (end > start && isBlank(text[end - 1]))", "while (false)")]),
    ("field reader: -32769 read as an integer",
     [("tooLarge = magnitude > 32768;", "tooLarge = magnitude > 99999;")]),
    ("code page 932: an unassigned pair gives two replacements",
     [("pos += pair ? 2 : 1;", "pos += 1;")]),
    ("code page 932: the yen sign written as a backslash",
     [("case 0x00A2: case 0x00A3: case 0x00A5:", "case 0x00A2: case 0x00A3:")]),
    ("code page 932: a character beyond the basic plane written as two ?",
     [("pos += surrogatePair ? 2 : 1;", "pos += 1;")]),
    ("history: the 32,767th record read (off by one at 32,766)",
     [("if (read_ == kMaxHistoryRecords) {", "if (read_ == kMaxHistoryRecords + 1) {")]),
    ("history: a count field not checked as an integer",
     [("const qint16 ok = number(), ng", "const qint16 ok = qint16(text().toInt()), ng"),
      ('r.ok = number();', 'r.ok = qint16(text().toInt());'),
      ("r.ok = reader_.readInteger();", "r.ok = qint16(reader_.readString().toInt());")]),
    ("save: one record past the limit accepted",
     [('if ((countFields(text) + 8) / 9 >= kMaxHistoryRecords) {', 'if ((countFields(text) + 8) / 9 > kMaxHistoryRecords) {'),
      ("if (msgRireki->Rows() - 1 >= kMaxHistoryRecords) {", "if (msgRireki->Rows() - 1 > kMaxHistoryRecords) {"),
      ("historyFull(", "false && historyFull(")]),
    ("save: allowed while a game runs",
     [('|| state.Playing || state.StartWait\n', '|| state.StartWait\n'),
      ("|| state.Playing || state.StartWait)", "|| state.StartWait)")]),
    ("dictionary: 32,768 entries accepted",
     [("if (spans_.size() == kMaxEntries) {", "if (spans_.size() == kMaxEntries + 1) {"),
      ("if (entries.size() == kMaxEntries) {", "if (entries.size() == kMaxEntries + 1) {")]),
    ("dictionary: byte-order mark not recognised",
     [("bytes.startsWith(kUtf8Bom)", "false")]),
    ("settings: play seconds of 0 accepted",
     [("if (settings.PlayByou < 1)", "if (settings.PlayByou < 0)")]),
    ("settings: fields written in the wrong order",
     [("formatRecord({qint32(playByou), qint32(autoSave), mode})", "formatRecord({qint32(autoSave), qint32(playByou), mode})")]),
    ("date written without leading zeros",
     [('u"yyyy/MM/dd"', 'u"yyyy/M/d"')]),
    ("time written without a leading zero",
     [('u"HH:mm:ss"', 'u"H:mm:ss"')]),
    ("draw: index past the last entry",
     [("std::clamp(index, 1, std::max<int>(count, 1))", "std::max(index, 1)")]),
    ("hide: random mode never hides three",
     [("std::floor(4.0f * r)", "std::floor(3.0f * r)")]),
    ("hide: bag position past the end",
     [("std::clamp(static_cast<int>(std::floor(j)), 0, n - 1)", "static_cast<int>(std::floor(j))")]),
    ("clock: a game timed by the wall clock",
     [("steadySeconds()));\n    state.JikanNokori", "secondsSinceMidnight()));\n    state.JikanNokori")]),
    ("time bar: negative width",
     [("std::clamp(width, 0.0, 1.0e9)", "width")]),
    ("game end: the idle rate text",
     [(': QStringLiteral("0.0%"));', ': QStringLiteral("0%"));'),
      (': QStringLiteral("0.0%");', ': QStringLiteral("0%");')]),
    ("game end: ends a second early",
     [("if (state.JikanNokori >= 1)", "if (state.JikanNokori >= 2)")]),
    ("game end: no automatic save",
     [('if (state.AutoSave == 1)\n', 'if (state.AutoSave == 2)\n'),
      ("if (state.AutoSave == 1) {", "if (state.AutoSave == 2) {")]),
    ("save failure: the grid keeps a row the file lacks",
     [('        msgRireki->setRows(rowsBefore);\n        const QString what', '        const QString what'),
      ("            msgRireki->setRows(rowsBefore);\n            platform()", "            platform()")]),
    ("answer: a miss not counted",
     [("        state.NgCount = add16(state.NgCount, 1);\n", "")]),
    ("answer: characters counted as one an answer",
     [("state.MojiCount = add16(state.MojiCount, checked16(txtKaitou->text().size()));",
       "state.MojiCount = add16(state.MojiCount, 1);")]),
    ("answer: hidden cells not shown as a square in the solved list",
     [('caption.isEmpty() ? QStringLiteral("□") : caption', "caption")]),
    ("answer: Enter judged outside a game",
     [("if (!state.MondaiDrawn)\n        return;", ""),
      ("    if (!state.Playing)\n        return;\n\n    if (txtKaitou", "    if (txtKaitou"),
      ("    if (!state.Playing)\n        return;\n\n    if (!isRightAnswer", "    if (!isRightAnswer")]),
    ("time bar: drawn against the settings of now",
     [("barWidth(state.JikanNokori, state.GameByou,", "barWidth(state.JikanNokori, state.PlayByou,")]),
    ("save: a game saved twice",
     [("        || state.Saved)\n", "        )\n")]),
    ("save: recorded with the settings of now",
     [('state.MojiCount, state.GameByou,\n                              state.GameMode,', 'state.MojiCount, state.PlayByou,\n                              modeText(),'),
      ("state.MojiCount, state.GameByou,\n                          state.GameMode,",
       "state.MojiCount, state.PlayByou,\n                          modeText(),")]),
    ("game end: a miss whose box is up at the end left out",
     [("        platform().messages->show(this, QStringLiteral(\"違います！！\"), QStringLiteral(\"間違い\"),\n"
       "                                  MsgButtons::OkOnly, MsgIcon::Critical);\n    } else {",
       "        state.NgCount = add16(state.NgCount, -1);\n"
       "        platform().messages->show(this, QStringLiteral(\"違います！！\"), QStringLiteral(\"間違い\"),\n"
       "                                  MsgButtons::OkOnly, MsgIcon::Critical);\n"
       "        state.NgCount = add16(state.NgCount, 1);\n    } else {")]),
    ("answer: Esc does not reveal",
     [("if (KeyAscii == 27) {\n        revealMondai();", "if (KeyAscii == 27) {"),
      ("if (KeyAscii == 27) {\n        cutMoji();", "if (KeyAscii == 27) {")]),
    ("answer path: the mode tested by its first letter",
     [('if (modeText() != QStringLiteral("S:指定"))', "if (!modeText().startsWith(u'S'))"),
      ("askMondai(opensCellsByName(", "askMondai(opensCellsByLetter(")]),
    ("countdown: the mode tested by its whole name",
     [("    if (!modeText().startsWith(u'S'))\n        HideMoji();\n    else\n        ApplyMado();\n    txtKaitou",
       '    if (modeText() != QStringLiteral("S:指定"))\n        HideMoji();\n    else\n        ApplyMado();\n    txtKaitou'),
      ("askMondai(opensCellsByLetter(", "askMondai(opensCellsByName(")]),
    ("start: S mode with no open cell not refused",
     [("if (sMode && !anyMado(state)) {", "if (false) {")]),
    ("start: countdown step not reset",
     [("    state.StartCount = 0;\n    shpJikanK", "    shpJikanK")]),
    ("cell click: opens and closes the wrong way round",
     [("state.Mado[Index] = true;", "state.Mado[Index] = false;")]),
    ("mode combo: S does not close the designations",
     [("        state.Mado[i] = false;\n    }\n    platform().messages->show(this, QStringLiteral(\"表示させたい",
       "    }\n    platform().messages->show(this, QStringLiteral(\"表示させたい")]),
    ("clear: Cancel still clears",
     [("if (answer != MsgResult::Ok)\n        return;", "")]),
    ("clear: the file is not emptied",
     [("    emptyHistory();", "    ;")]),
    ("exit: help windows left open",
     [('    platform().help->closeAll();\n    releasePlayFolder();', '    releasePlayFolder();'),
      ("    platform().help->closeAll();\n    platform().process->exitNow(0);", "    platform().process->exitNow(0);")]),
    ("grid: a heading changed",
     [('{"ＯＫ", 600}', '{"OK", 600}')]),
    ("combo: typed text completed",
     [("setCompleter(nullptr);", ";")]),
    ("combo: the wheel is no pick",
     [("    picking_ = true;\n    QComboBox::wheelEvent(event);", "    QComboBox::wheelEvent(event);")]),
    ("combo: typed text naming an entry counted as a pick",
     [("        if (picking_)\n            emit clicked();", "        emit clicked();")]),
    ("accessibility: a control without a description",
     [('describe(form.lstHide, QStringLiteral("隠す文字の作業リスト"), QStringLiteral("表示されません"));', ";")]),
    ("accessibility: seconds left rounded down",
     [("(qint64(widthTwips) * playByou + fullWidthTwips - 1) / fullWidthTwips",
       "qint64(widthTwips) * playByou / fullWidthTwips")]),
    ("label: a release outside still clicks",
     [("                       && rect().contains(event->position().toPoint());\n    pressed_ = false;\n    QLabel::",
       ";\n    pressed_ = false;\n    QLabel::")]),
    ("label: a double-click clicks twice",
     [("void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)\n{\n    pressed_ = false;\n    event->accept();\n}",
       "void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)\n{\n    QLabel::mouseDoubleClickEvent(event);\n}")]),
    ("button: Enter does not click",
     [("        if (isEnabled())\n            click();\n", "")]),
    ("keys: Ctrl+Enter answers",
     [("return ctrl ? 10 : 13;", "return 13;")]),
    ("keys: Ctrl with a letter gives no code",
     [("return static_cast<qint16>(key - Qt::Key_A + 1);", "return 0;")]),
    ("list: a click on its border reaches the frame",
     [("list->setAttribute(Qt::WA_NoMousePropagation);", ";")]),
    ("frame: a release outside still clicks",
     [("                       && rect().contains(event->position().toPoint());\n    pressed_ = false;\n    QGroupBox::",
       ";\n    pressed_ = false;\n    QGroupBox::")]),
    ("help links: any scheme but a script sent to the browser",
     [('(scheme == u"http" || scheme == u"https" || scheme == u"mailto") && openExternal_',
       '(scheme != u"javascript") && openExternal_')]),
    ("grid: rows cut off while redraw is off keep their texts",
     [("    cells_.resize(size);\n    changeRowCount(rows);", "    cells_.resize(std::max(size, cells_.size()));\n    changeRowCount(rows);"),
      ("    if (holding_) {\n        cells_.resize(size);",
       "    if (holding_) {\n        cells_.resize(std::max(size, cells_.size()));")]),
    ("twips rounded down",
     [("return (twips * 2 + 15) / 30;", "return twips / 15;")]),
    ("accessibility: a hidden cell read as its character",
     [('what = cell.backColor().rgb() == closed.rgb() ? QStringLiteral("隠れています")',
       'what = false ? QStringLiteral("隠れています")')]),
    ("help file: an oversized object read",
     [("if (length > kChmMaxObjectSize || !file.seek(qint64(offset)))", "if (!file.seek(qint64(offset)))")]),
    ("cells: laid out by the line, the base cut off",
     [("        cell->setGlyphCell(true);\n", "")]),
    ("cells: a character larger than the cell not shrunk",
     [("        if (fit >= 1.0)\n            break;\n", "        break;\n"),
      ("    if (fit < 1.0) {", "    if (false) {")]),
    ("cells: a character placed from the cell's corner, not centred by its ink",
     [("painter.drawImage(area.center() - QRectF(QPointF(), glyph.deviceIndependentSize()).center(), glyph);",
       "painter.drawImage(area.topLeft(), glyph);")]),
    ("theme: the desktop's palette under the design's faces",
     [("    setPalette(QPalette(QColor(0xef, 0xef, 0xef)));\n", "")]),
    ("combo: a wide text shown from its end",
     [("            edit->setCursorPosition(0);", "            ;")]),
    ("judge: only the idiom drawn is right",
     [("    return std::any_of(dictionary.cbegin()", "    return false && std::any_of(dictionary.cbegin()")]),
    ("judge: a hidden cell must match too",
     [("        if (!captions[i].isEmpty() && typedCells[i]", "        if (typedCells[i]")]),
    ("judge: 々 compared as it stands",
     [('        if (character != u"々" || previous.isEmpty())', "        if (true)")]),
    ("grid: a text that fills its cell runs into the next",
     [("        setItemDelegate(new FittingDelegate(this));\n", "")]),
    ("study: a reveal not recorded",
     [("        study->revealed(state.Mondai);", "        ;")]),
    ("study: an unreadable record written over",
     [("    if (record && writeRecord(mergeGame(*record, game_, today), &problem)) {",
       "    if (writeRecord(mergeGame(record.value_or(MissRecord()), game_, today), &problem)) {")]),
    ("study: the weighted draw taken with the choice off",
     [("    if (study->drawMissedMore() && platform().random->next() < 0.5f) {",
       "    if (platform().random->next() < 0.5f) {")]),
    ("study: an idiom only answered right joins the record",
     [("        if (!record.contains(it.key()) && it->misses == 0 && it->reveals == 0)\n            continue;\n", "")]),
    ("study: broken UTF-8 read as text",
     [("    if (decoder.hasError()) {", "    if (false) {")]),
    ("chart: the chosen mode ignored",
     [("if ((!mode.isEmpty() && r.mode != mode) ||", "if (")]),
    ("text: Ctrl-Z read as text",
     [("const qsizetype mark = bytes.indexOf('\\x1A');", "const qsizetype mark = -1;")]),
    ("dictionary: a blank entry drawn",
     [("entries.removeIf(", "(void)(")]),
    ("dictionary: UTF-8 without a byte-order mark read as Shift_JIS",
     [("utf8_ = marked || isJapaneseUtf8(bytes);", "utf8_ = marked;")]),
    ("settings: a UTF-8 file taken",
     [("    requireCp932(text, fileName);\n    FieldReader reader", "    FieldReader reader")]),
    ("cells: an idiom cut by UTF-16 unit",
     [("state.Moji[i] = characters[i - 1];", "state.Moji[i] = state.Mondai.mid(i - 1, 1);")]),
    ("startup: a second program in the folder goes on",
     [("    if (!lockPlayFolder()) {", "    if (false) {")]),
    ("start: an unreadable dictionary ends the program",
     [("        refusal = QStringLiteral(\"%1 を読み込めないため", "        throw;\n        refusal = QStringLiteral(\"%1 を読み込めないため")]),
    ("save: a refused save by hand ends the program",
     [("        const QString what = automatic", "        if (!automatic)\n            throw;\n        const QString what = automatic")]),
    ("replace: the owner not kept",
     [("if (::fchown(copy.handle(), old.st_uid, old.st_gid) != 0)", "if (true)")]),
    ("error box: a read reported as a write",
     [('text += access_ == Access::Read ? QStringLiteral("\\n読み込みに失敗しました。")',
       'text += access_ != Access::Read ? QStringLiteral("\\n読み込みに失敗しました。")')]),
    ("error box: a read-only folder blamed on the file",
     [("if (writing && folderRefuses) {", "if (false) {")]),
    ("history: a broken record not named by its line",
     [(".arg(reader_.line())", ".arg(1)")]),
    ("grid source: a cell set in a source row not kept",
     [("return set != sourceCellsSet_.cend() ? *set : source_(row, col);", "return source_(row, col);")]),
    ("grid source: cells set in rows cut off come back",
     [("        sourceCellsSet_.removeIf(", "        if (false) sourceCellsSet_.removeIf(")]),
    ("grid source: rows after the source's overwrite them",
     [("return qsizetype(row < fixedRows_ ? row : row - sourceRows_) * cols_ + col;",
       "return qsizetype(row) * cols_ + col;")]),
    ("history rows: a record read again from the file's start",
     [("    reader.reader_.seek(starts_.at(size_t(index)));\n", "")]),
    ("text list: every item read from the first block",
     [("return block->text(index.row() - block->first);", "return blocks_.front().text(index.row());")]),
    ("history quick check: a count of 32768 passed",
     [("if (digits == 0 || digits == 6 || value > 32767 + negative)", "if (digits == 0 || digits == 6 || value > 32768 + negative)")]),
    ("history quick check: any byte after a field taken as its delimiter",
     [("if (p == end || *p != (i < 8 ? ',' : '\\r'))", "if (p == end)")]),
    ("history quick check: a lone CR taken as a line end",
     [("return p != end && *p == '\\n' ? p + 1 : nullptr;", "return p != end ? p + 1 : nullptr;")]),
    ("uniform list: a page as many rows as fit",
     [("page = qMax(1, viewport()->height() / rowHeight() - 1);", "page = qMax(1, viewport()->height() / rowHeight());")]),
    ("uniform list: scrolled by a pixel a row",
     [("viewport()->scroll(dx, dy * pixelsPerStep());", "viewport()->scroll(dx, dy);")]),
    ("uniform list: rows as wide as the first",
     [("const QModelIndex last = indexOfRow(rows() - 1);", "const QModelIndex last = indexOfRow(0);")]),
    ("dictionary entries: each kept one character late",
     [("spans_.emplace_back(qint32(entry.data() - reader.text().constData()),",
       "spans_.emplace_back(qint32(entry.data() - reader.text().constData() + 1),")]),
]


def sources():
    return [p for p in (ROOT / "src").rglob("*") if p.suffix in (".cpp", ".h")]


def plant(forms):
    texts = {p: p.read_text(encoding="utf-8") for p in sources()}
    for search, replace in forms:
        hits = [p for p, t in texts.items() if t.count(search) == 1]
        total = sum(t.count(search) for t in texts.values())
        if len(hits) == 1 and total == 1:
            path = hits[0]
            path.write_text(texts[path].replace(search, replace), encoding="utf-8")
            return path, texts[path]
    return None, None


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=str(ROOT / "build-mutants"))
    ap.add_argument("--only", nargs="*")
    args = ap.parse_args()
    build = pathlib.Path(args.build)
    if not (build / "build.ninja").exists():
        run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=Debug"], check=True)
    if run(["cmake", "--build", str(build)]).returncode != 0:
        sys.exit("the unchanged tree does not build")

    caught = missed = unplanted = 0
    for name, forms in FAULTS:
        if args.only and not any(o in name for o in args.only):
            continue
        path, original = plant(forms)
        if path is None:
            print(f"NOT PLANTED  {name}")
            unplanted += 1
            continue
        try:
            built = run(["cmake", "--build", str(build)])
            if built.returncode != 0:
                verdict, detail = "CAUGHT", "build fails"
            else:
                tests = run(["ctest", "--test-dir", str(build), "-LE", "e2e|packaging|bench",
                             "-j2", "--timeout", "120"])
                failed = [l.split("-")[-1].strip().split(" ")[0]
                          for l in tests.stdout.splitlines() if "(Failed)" in l
                          or "(Subprocess aborted)" in l or "(Timeout)" in l
                          or "(SEGFAULT)" in l]
                verdict = "CAUGHT" if tests.returncode != 0 else "SURVIVED"
                detail = ", ".join(failed)
        finally:
            path.write_text(original, encoding="utf-8")
        if verdict == "CAUGHT":
            caught += 1
        else:
            missed += 1
        print(f"{verdict:12} {name}  [{detail}]", flush=True)
    run(["cmake", "--build", str(build)])
    print(f"{caught} caught, {missed} survived, {unplanted} not planted")
    sys.exit(1 if missed or unplanted else 0)


if __name__ == "__main__":
    main()
