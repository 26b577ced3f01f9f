#include "link/verbindung.h"
#include <QTest>
class TestTeile : public QObject { Q_OBJECT };
QTEST_MAIN(TestTeile)
#include "test_teile.moc"
