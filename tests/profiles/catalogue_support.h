#pragma once
// Rows and clicks shared by the chooser and list window tests.
#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>
#include <utility>

#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "support/testdb.h"

namespace catalogue_test {

inline QByteArray PhotoBytes(const char* format, QColor colour, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QPainter p(&img);
    p.setPen(QPen(Qt::white, 6));
    p.drawEllipse(img.rect().adjusted(10, 10, -10, -10));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

inline void Write(const QString& sql, const std::vector<std::pair<QString, QVariant>>& params = {})
{
    TIBQuery q(DM->TransEdit);
    q.SetSQL(sql);
    for (const auto& [name, value] : params)
        q.ParamByName(name, value);
    if (!DM->ExecEdit(q))
        throw DatabaseError(DM->LastEditError().toStdString());
}

inline void AddDriver(int id, const QString& first, const QString& surname, const QByteArray& photo = {},
                      int deleted = 0)
{
    Write(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, KOD_KIER, IMIE, NAZWISKO, PSEUDONIM, WZROST, WAGA, "
                         "NADWAGA, ZDJECIE, USUNIETY) values (:ID, :KOD, :IMIE, :NAZWISKO, :PSEUDONIM, :WZROST, "
                         ":WAGA, :NADWAGA, :ZDJECIE, :USUNIETY)"),
          {{"ID", id},
           {"KOD", QString::number(id)},
           {"IMIE", first},
           {"NAZWISKO", surname},
           {"PSEUDONIM", first.left(3).toLower()},
           {"WZROST", 170 + id},
           {"WAGA", 60.25 + id},
           {"NADWAGA", 2.5},
           {"ZDJECIE", photo.isEmpty() ? QVariant() : QVariant(photo)},
           {"USUNIETY", deleted}});
}

inline void AddTrack(int id, const QString& name, const QString& www = {}, const QByteArray& photo = {},
                     int deleted = 0)
{
    Write(QStringLiteral("insert into TORY (ID_TORU, NAZWA, DLUGOSC, REKORD, OSOBA_REKORD, ZDJECIE, ILOSC_PASKOW, "
                         "ILE_POMINAC_PASKOW, LAP_TIMEOUT, STRONA_WWW, USUNIETY) values (:ID, :NAZWA, :DLUGOSC, "
                         ":REKORD, :OSOBA, :ZDJECIE, 3, 1, 20, :WWW, :USUNIETY)"),
          {{"ID", id},
           {"NAZWA", name},
           {"DLUGOSC", 1000.0 + id % 1000},
           {"REKORD", QStringLiteral("0:48.21")},
           {"OSOBA", QStringLiteral("M. Kowalski")},
           {"ZDJECIE", photo.isEmpty() ? QVariant() : QVariant(photo)},
           {"WWW", www.isEmpty() ? QVariant() : QVariant(www)},
           {"USUNIETY", deleted}});
}

inline void AddProfile(int id, const QString& name, int deleted = 0)
{
    Write(QStringLiteral("insert into POJAZDY (ID_POJAZDU, NAZWA, USUNIETY) values (:ID, :NAZWA, :USUNIETY)"),
          {{"ID", id}, {"NAZWA", name}, {"USUNIETY", deleted}});
}

inline std::vector<std::pair<int, bool>> Ticks(MemTable& t, const char* key)
{
    std::vector<std::pair<int, bool>> rows;
    for (int r = 0; r < t.RecordCount(); ++r)
        rows.emplace_back(t.IntAt(r, t.FieldIndex(QString::fromLatin1(key))), t.BoolAt(r, t.FieldIndex("wybrany")));
    return rows;
}

inline QPoint CellCentre(QAbstractItemView* view, int row, int column)
{
    return view->visualRect(view->model()->index(row, column)).center();
}

inline void ClickCell(QAbstractItemView* view, int row, int column)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, row, column));
}

inline void DoubleClickAt(QAbstractItemView* view, QPoint pos)
{
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, pos);
}

// Makes the window the active one, so focus changes take effect offscreen.
inline bool Activate(QWidget& window)
{
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window, 2000);
}

// A fresh database, scripted dialogs and a zeroed project record per test.
class CatalogueGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::testing::SetScripted(true);
        platform::testing::ClearModalHandlers();
        Project() = ProjectRecord();
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty())
            << platform::testing::UnhandledModals().join(", ").toStdString();
    }
    TestDatabase db;
};

}  // namespace catalogue_test
