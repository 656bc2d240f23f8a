// Text helpers, GBK handling, the stored password form and the computer identity.
#include "foundation/ui/untMessages.h"
#include "foundation/untPublic.h"
#include "tests/fixture/Fixture.h"

#include <QRegularExpression>
#include <cpuid.h>

namespace {
const QByteArray kKey("\x35\xCA\xFD\xBE\xDD\x51\x6D", 7); // "5数据Qm" in GBK
}

class TestText : public QObject {
    Q_OBJECT
private slots:
    void trimRemovesOnlyControlsAndBlanks()
    {
        QCOMPARE(TrimText(QStringLiteral(" \t\r\n A B \x01")), QStringLiteral("A B"));
        QCOMPARE(TrimText(QStringLiteral("\u3000A\u3000")), QStringLiteral("\u3000A\u3000"));
        QCOMPARE(TrimText(QStringLiteral("\u00A0A")), QStringLiteral("\u00A0A"));
        QCOMPARE(TrimText(QStringLiteral("   ")), QString());
    }

    void containsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("found");
        QTest::newRow("code in list") << " 01,03,06, "
                                      << "03" << true << true;
        QTest::newRow("code absent") << "01,03,"
                                     << "02" << true << false;
        QTest::newRow("empty search") << "01,02,"
                                      << "" << true << false;
        QTest::newRow("blank search") << "01,02,"
                                      << "   " << true << false;
        QTest::newRow("empty text") << ""
                                    << "01" << true << false;
        QTest::newRow("both trimmed") << "  abc  "
                                      << " b " << true << true;
        QTest::newRow("exact case") << "ABC"
                                    << "b" << true << false;
        QTest::newRow("folded case") << "ABC"
                                     << "b" << false << true;
        QTest::newRow("only ascii folded") << "Ä"
                                           << "ä" << false << false;
        QTest::newRow("chinese") << "商户管理"
                                 << "管理" << true << true;
        QTest::newRow("wide blank kept") << "\u3000管理"
                                         << "\u3000管" << true << true;
    }
    void containsText()
    {
        QFETCH(QString, text);
        QFETCH(QString, sub);
        QFETCH(bool, exact);
        QFETCH(bool, found);
        QCOMPARE(ContainsText(text, sub, exact), found);
    }

    void gbkBoundaries()
    {
        QVERIFY(GbkCanHold(QStringLiteral("商户A001€")));
        QCOMPARE(GbkLength(QStringLiteral("商户A1")), 6);
        QCOMPARE(ToGbk(QStringLiteral("€")), QByteArray("\x80"));
        QVERIFY(!GbkCanHold(QStringLiteral("😀")));      // outside the BMP
        QVERIFY(!GbkCanHold(QStringLiteral("\u0E01"))); // Thai
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, EncodePassword(QStringLiteral("a😀")));
    }

    void quotedLiteral_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("form");
        QTest::newRow("plain") << QByteArray("abc") << "{'abc'}";
        QTest::newRow("apostrophe doubled") << QByteArray("it's") << "{'it''s'}";
        QTest::newRow("mixed") << QByteArray("a\x05"
                                             "b'c\xC8\x1F")
                               << "{'a'#$5'b''c'#$C8#$1F}";
        QTest::newRow("zero byte") << QByteArray(1, '\0') << "{#$0}";
        QTest::newRow("empty") << QByteArray() << "{}";
        QTest::newRow("0x7F printable") << QByteArray("a\x7F") << "{'a\x7F'}";
        QTest::newRow("0x80 coded") << QByteArray("\x80") << "{#$80}";
        QTest::newRow("0x1F and 0x20") << QByteArray("\x1F ") << "{#$1F' '}";
    }
    void quotedLiteral()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, form);
        QCOMPARE(ToQuotedLiteral(bytes), form);
    }

    // Expected forms computed with an independent implementation of the rule.
    void encodePassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("form");
        const QString emptyForm = QStringLiteral("{#$6#$FA#$C9#$8F#$EA'c['#$0#$F2#$CE#$8F#$E4'd]'}");
        QTest::newRow("empty is the filler's form") << "" << emptyForm;
        QTest::newRow("the filler itself") << "30417265831950" << emptyForm;
        QTest::newRow("digits") << "123456"
                                << "{#$4#$F8#$CE#$8A#$E8'g'}";
        QTest::newRow("admin") << "admin"
                               << "{'T'#$AE#$90#$D7#$B3}";
        QTest::newRow("8 bytes reuse key byte 0") << "12345678"
                                                  << "{#$4#$F8#$CE#$8A#$E8'gZ'#$D}";
        QTest::newRow("letters, key wraps") << "abcdefgh"
                                            << "{'T'#$A8#$9E#$DA#$B8'7'#$A']'}";
        QTest::newRow("leading blank") << " 123456"
                                       << "{#$15#$FB#$CF#$8D#$E9'd['}";
        QTest::newRow("trailing blank") << "123456 "
                                        << "{#$4#$F8#$CE#$8A#$E8'gM'}";
        QTest::newRow("chinese") << "密码"
                                 << "{#$F6#$16'?U'}";
        QTest::newRow("chinese and digits") << "汽配联盟2017"
                                            << "{#$F3'18Z'#$1C#$FB#$AE#$FE#$F8#$CD#$8F#$EA}";
        QTest::newRow("apostrophe after xor") << "\x12"
                                              << "{''''}";
        QTest::newRow("key byte gives zero") << "5"
                                             << "{#$0}";
    }
    void encodePassword()
    {
        QFETCH(QString, password);
        QFETCH(QString, form);
        QCOMPARE(EncodePassword(password), form);
    }

    void xorWithKey()
    {
        QCOMPARE(XorWithKey(QByteArray("\x35\x7F\xB5", 3), kKey), QByteArray("\x00\xB5\x48", 3));
        QCOMPARE(XorWithKey(QByteArray(), kKey).size(), 14); // the filler stands in
        const QByteArray eight = XorWithKey(QByteArray(8, 'x'), kKey);
        QCOMPARE(eight[7], eight[0]);
        QVERIFY(IsPasswordFiller(QStringLiteral("30417265831950")));
        QVERIFY(!IsPasswordFiller(QStringLiteral("3041726583195")));
    }

    void formIsBounded()
    {
        // 30 bytes give at most 4 * 30 + 2 characters.
        QVERIFY(EncodePassword(QStringLiteral("密码密码密码密码密码密码密码密")).size() <= 122);
        QVERIFY(ToQuotedLiteral(QByteArray(30, '\x01')).size() <= 122);
    }

    void hostIdentity()
    {
        const QString id = HostIdentity();
        QCOMPARE(id.size(), 16);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{16}$")).match(id).hasMatch());
        QCOMPARE(HostIdentity(), id);
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        QVERIFY(__get_cpuid(1, &eax, &ebx, &ecx, &edx));
        QCOMPARE(id, QStringLiteral("%1%2")
                         .arg(edx, 8, 16, QLatin1Char('0'))
                         .arg(eax, 8, 16, QLatin1Char('0'))
                         .toUpper());
    }

    void errorBoxFullStop_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("appended") << "Connection refused"
                                  << "Connection refused.";
        QTest::newRow("already ends in one") << "Done."
                                             << "Done.";
        QTest::newRow("ends below full stop") << "Really!"
                                              << "Really!";
        QTest::newRow("hyphen below") << "a-"
                                      << "a-";
        QTest::newRow("digit above") << "code 7"
                                     << "code 7.";
        QTest::newRow("chinese above") << "无法连接"
                                       << "无法连接.";
        QTest::newRow("empty stays") << ""
                                     << "";
    }
    void errorBoxFullStop()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        Messages().Clear();
        Guard([&] { throw std::runtime_error(text.toStdString()); });
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Error);
        QCOMPARE(Messages().LastText(), shown);
        QCOMPARE(Messages().messages.last().caption, SysSet.AppTitle);
    }

    void messageKindsAndAnswers()
    {
        Messages().Clear();
        MsgInfo(QStringLiteral("信息"));
        MsgWarn(QStringLiteral("警告"));
        Messages().answers = {true, false};
        QVERIFY(MsgAsk(QStringLiteral("确定吗?")));
        QVERIFY(!MsgAsk(QStringLiteral("确定吗?")));
        QVERIFY(!MsgAsk(QStringLiteral("no answer queued is No")));
        QCOMPARE(Messages().Texts(),
                 QStringList({"信息", "警告", "确定吗?", "确定吗?", "no answer queued is No"}));
        QCOMPARE(Messages().messages[0].kind, MessagePresenter::Kind::Info);
        QCOMPARE(Messages().messages[1].kind, MessagePresenter::Kind::Warn);
        QCOMPARE(Messages().messages[2].kind, MessagePresenter::Kind::Ask);
    }
};

QEN_TEST_MAIN(TestText)
#include "test_text.moc"
