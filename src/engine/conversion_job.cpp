#include "engine/conversion_job.h"

#include "db/mysql_connection.h"
#include "db/oracle_connection.h"
#include "db/oracle_insert_buffer.h"
#include "engine/run_log.h"

#include <QScopeGuard>

namespace dovrelle {

ConversionJob::ConversionJob(ConversionProfile profile, RunHooks hooks)
    : profile_(std::move(profile)),
      hooks_(std::move(hooks)),
      catalog_(std::make_unique<MySqlConnection>()),
      data_(std::make_unique<MySqlConnection>()),
      oracle_(std::make_unique<OracleConnection>()),
      oracleData_(std::make_unique<OracleConnection>()),
      insertBuffer_(std::make_unique<OracleInsertBuffer>(*oracle_))
{
}

ConversionJob::~ConversionJob() = default;

RunResult ConversionJob::run(RunLog& log)
{
    const auto closeAtEnd = qScopeGuard([this] { closeConnections(); });
    log.setSecrets({profile_.mysqlp, profile_.oraclep});
    openConnections();
    RunHost host{hooks_, *catalog_, *data_, *oracle_, *oracleData_, *insertBuffer_};
    const auto keepDefinition = qScopeGuard([&] { lastTableDefinition_ = host.lastTableDefinition; });
    return runConversion(profile_, log, host);
}

// The catalog connection on the database to convert, both Oracle connections with the same
// logon; the run opens the data connection with the character set itself.
void ConversionJob::openConnections()
{
    catalog_->setParameters(catalogConnectionParameters(profile_, profile_.mysqldatabase));
    catalog_->open();
    const ParameterList oracleParameters =
        OracleConnection::standardParameters(profile_.oracleh, profile_.oracleu, profile_.oraclep);
    for (OracleConnection* connection : {oracle_.get(), oracleData_.get()}) {
        connection->setParameters(oracleParameters);
        connection->open();
    }
}

void ConversionJob::closeConnections()
{
    insertBuffer_->close();
    oracleData_->close();
    oracle_->close();
    data_->close();
    catalog_->close();
}

}  // namespace dovrelle
