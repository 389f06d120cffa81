#include "momentarchive.h"

#include "momentreader.h"
#include "momentrecorder.h"
#include "momentstore.h"

MomentArchive::MomentArchive(const QString &folder, const MomentSettings &settings, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    m_store = new MomentStore(folder, settings, this);
    m_recorder = new MomentRecorder(m_store, this);
    m_reader = new MomentReader(folder, this);
    // Past the age limit since the last run: evicted now rather than with the next moment.
    m_store->start();
}
