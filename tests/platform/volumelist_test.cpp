// Which volume holds a path, and which mounted volumes the drive list offers.
#include "platform/core/volumelist.h"

#include <gtest/gtest.h>

using namespace orv;

TEST(VolumeRoot, LongestMountPrefixOnPathBoundaries)
{
    const QList<Volume> vols = {{QStringLiteral("/"), {}, true},
                                {QStringLiteral("/media/usb"), {}, true},
                                {QStringLiteral("/home"), {}, true}};
    EXPECT_EQ(volumeRootOf(QStringLiteral("/media/usb/photos/a.jpg"), vols), QStringLiteral("/media/usb"));
    EXPECT_EQ(volumeRootOf(QStringLiteral("/media/usb"), vols), QStringLiteral("/media/usb"));
    EXPECT_EQ(volumeRootOf(QStringLiteral("/media/usb2/x"), vols), QStringLiteral("/"));
    EXPECT_EQ(volumeRootOf(QStringLiteral("/home/ann"), vols), QStringLiteral("/home"));
    EXPECT_EQ(volumeRootOf(QStringLiteral("/etc"), vols), QStringLiteral("/"));
    EXPECT_EQ(volumeRootOf(QStringLiteral("/x"), {}), QStringLiteral("/"));
}

TEST(StorageVolumes, RootFirstAndNoPseudoFileSystems)
{
    const QList<Volume> vols = StorageVolumeList().volumes();
    ASSERT_FALSE(vols.isEmpty());
    EXPECT_EQ(vols.front().root, QStringLiteral("/"));
    for (const Volume& v : vols) {
        EXPECT_FALSE(v.root.startsWith(QStringLiteral("/proc"))) << v.root.toStdString();
        EXPECT_FALSE(v.root.startsWith(QStringLiteral("/sys"))) << v.root.toStdString();
    }
    EXPECT_TRUE(StorageVolumeList().isReady(QStringLiteral("/")));
    EXPECT_FALSE(StorageVolumeList().isReady(QStringLiteral("/no/such/mount")));
}
