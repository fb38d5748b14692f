#include "ProgramFixture.h"
#include "playlist/CdDrive.h"

#include <QApplication>
#include <QTest>

class TestCdDrive : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFirstOpticalDriveOfTheMountTable_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("root");
        const QByteArray system =
            "proc /proc proc rw 0 0\n/dev/vda1 / ext4 rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n";
        QTest::newRow("no drive") << system << QString();
        QTest::newRow("empty table") << QByteArray() << QString();
        QTest::newRow("one drive") << system + "/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n"
                                   << "/media/cdrom0";
        QTest::newRow("two drives, the first is used")
            << system + "/dev/sr1 /media/cdrom1 iso9660 ro 0 0\n/dev/sr0 /media/cdrom0 udf ro 0 0\n"
            << "/media/cdrom1";
        QTest::newRow("a Video CD image mounted from a loop device")
            << system + "/dev/loop3 /mnt/vcd iso9660 ro 0 0\n"
            << "/mnt/vcd";
        QTest::newRow("a disc whose label holds blanks")
            << system + "/dev/sr0 /media/u/MON\\040FILM udf ro 0 0\n"
            << "/media/u/MON FILM";
        QTest::newRow("a disc of another file system, mounted from the drive")
            << system + "/dev/cdrom /media/cd auto ro 0 0\n"
            << "/media/cd";
        QTest::newRow("a short line") << QByteArray("garbage\n/dev/sr0\n") << QString();
    }

    void theFirstOpticalDriveOfTheMountTable()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, root);
        QCOMPARE(CdDrive::firstIn(table), root);
    }

    void theFirstOpticalDriveWithOrWithoutADisc_data()
    {
        QTest::addColumn<QByteArray>("cdromInfo");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<QStringList>("libcdio");
        QTest::addColumn<QString>("drive");
        const QByteArray info =
            "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr10\tsr2\n";
        QTest::newRow("kernel's table") << info << QStringList() << QStringList() << "/dev/sr2";
        QTest::newRow("block devices")
            << QByteArray() << QStringList{"sr1", "sr0"} << QStringList() << "/dev/sr0";
        QTest::newRow("libcdio") << QByteArray() << QStringList() << QStringList{"/dev/cdrw"} << "/dev/cdrw";
        QTest::newRow("none: mounts") << QByteArray() << QStringList() << QStringList() << "/mnt/vcd";
    }

    void theFirstOpticalDriveWithOrWithoutADisc()
    {
        QFETCH(QByteArray, cdromInfo);
        QFETCH(QStringList, block);
        QFETCH(QStringList, libcdio);
        QFETCH(QString, drive);
        QCOMPARE(CdDrive::firstDrive(cdromInfo, block, libcdio, "/dev/loop3 /mnt/vcd iso9660 ro 0 0\n"),
                 drive);
    }

    void theDriveBehindAMountedDisc()
    {
        const QByteArray table = "/dev/vda1 / ext4 rw 0 0\n/dev/sr0 /media/u/MON\\040FILM udf ro 0 0\n";
        QCOMPARE(CdDrive::deviceMountedAt(QStringLiteral("/media/u/MON FILM/"), table), "/dev/sr0");
        QCOMPARE(CdDrive::deviceMountedAt(QStringLiteral("/media/u"), table), QString());
    }

    void thisMachineReadsItsOwnMountTable()
    {
        QFile mounts(QStringLiteral("/proc/self/mounts"));
        QVERIFY(mounts.open(QIODevice::ReadOnly));
        const QByteArray table = mounts.readAll();
        QCOMPARE(CdDrive::FindCdDrive(), CdDrive::firstIn(table));
        // A machine without a drive (a build machine, a container) finds none.
        if (!table.contains("/dev/sr") && !table.contains(" iso9660 ") && !table.contains(" udf "))
            QCOMPARE(CdDrive::FindCdDrive(), QString());
    }

    void startUpKeepsTheDriveFound()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QTemporaryDir folder;
        ProgramEnvironment env;
        env.appFolder = folder.path();
        env.makeEngine = [](QWidget *) { return std::make_unique<FakeMediaEngine>(); };
        env.settings = std::make_shared<MemorySettings>();
        env.findCdDrive = [] { return QStringLiteral("/media/cdrom0"); };
        Program program(std::move(env));
        program.mainWindow();
        QCOMPARE(program.sharedState().CdDrives, QStringLiteral("/media/cdrom0"));
    }
};

QTEST_MAIN(TestCdDrive)
#include "test_cddrive.moc"
